// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/Workspace.h"
#include "export/OpenCommand.h"
#include "picture/DotEditor.h"
#include "picture/Geometry.h"
#include "platform/Prompts.h"
#include "platform/Settings.h"
#include "widgets/DotView.h"
#include "recording/Player.h"
#include "recording/StepEdits.h"

#include <QColor>
#include <QFont>
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QSpinBox;
class QTabWidget;
class QToolBar;
class QToolButton;
class QWidget;

namespace lumidot {

class DotCanvas;
class ImageFrames;
class MidiOutput;
class StepListWindow;
class PaintBox;
class SettingsStore;
class TFConfig;
class THelpWindow;
class TImportPreview;
class TInformation;
class TMoji;
class TMonitor;
class Tverinfo;
class VideoFile;

// The main window: the menus, the four pages and the side windows. The
// document and what changes it are the document layer's (Workspace); each
// handler opens the command's transaction, calls the layer and shows the
// outcome. Controls are public so that the tests reach them by their names.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // Tab control sizes of the four pages; the window is 8 x 46 larger.
    static constexpr QSize kLcdPageSize{401, 137};
    static constexpr QSize kMessagePageSize{201, 132};
    static constexpr QSize kDotPageSize{297, 249};
    static constexpr QSize kEffectPageSize{249, 169};
    static constexpr QSize kWindowMargin{8, 46};

    enum Page { LcdPage = 0, MessagePage = 1, DotPage = 2, EffectPage = 3 };

    TMainForm(lumidot::Workspace& workspace, SettingsStore& store, Prompts& prompts,
              Desktop& desktop, QWidget* parent = nullptr);
    // A window with a document layer of its own, sending through output.
    TMainForm(MidiOutput& output, SettingsStore& store, Prompts& prompts, Desktop& desktop,
              QWidget* parent = nullptr);
    ~TMainForm() override;

    // The side windows, created after the main window in this order; the
    // settings dialog reads the loaded settings, the information window the
    // settings dialog's port list.
    void createSecondaryWindows();

    // How a modal window is run: exec() in the program; tests put a stand-in
    // here so that no real modal loop starts.
    std::function<int(QDialog&)> runModal;

    // The document of the run and the operations on it.
    lumidot::Workspace& Workspace;

    // The dialogs' state kept for the whole run.
    QFont FontDialog1;                 // the stamping font
    Prompts::FileChoice SaveDialog1;   // last name and file type of the save dialog
    Prompts::FileChoice OpenDialog1;   // last name and file type of the open dialog
    Prompts::FileChoice ImportDialog1; // last name of the picture import dialog
    Prompts::FileChoice PlaneDialog1;  // last name of the plane's save and open dialogs

    // Reports the progress of an animation's import, frame by frame, or of a
    // clip's, sample by sample (called on the thread that decodes it); false
    // when the user cancels. Empty: a progress dialog with Cancel.
    std::function<bool(int done, int total)> importProgress;
    // Where the plane is kept when the program closes (the user's data folder).
    QString dataFolder;
    QString keptPlaneFile() const;

    // The saved state: true when the recording holds steps that were
    // recorded, or changed, since the last save or Open.
    bool isModified() const;

    int ScrollX() const;
    int ScrollY() const;
    ScrollLimits currentLimits() const;
    View currentView() const;
    // LcdColour: the backlight colour of the document as the pages paint it
    // (the preview, clear dots, the message lines).
    QColor LcdColour() const;
    // The settings kept between runs, as loaded and as the settings dialog
    // changed them.
    lumidot::Settings& settings() { return settings_; }
    // Zoom, tool and the mouse drags of the dot editor.
    const DotEditor& editor() const { return editor_; }

    // Reads a file of any format Lumidot saves (the program's argument, or
    // the open dialog's choice) in place of the current work.
    void openFile(const QString& fileName);
    // The controls show the document after it was replaced as a whole.
    void showDocument();
    // The save dialog's filter, the four recording formats and the
    // document; the open dialog's, every format at once first.
    static QString saveFilter();
    static QString openFilter();
    static QString refusalText(const LoadResult& refused);

    // Document operations.
    void Disp_FD();
    void FD_OUT();
    void DotSave();
    void S_MessageDisp();
    void InfoMake();
    void SetMIDIDEV();
    void selectPenTool();

    // Menu bar.
    QMenu* FileMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QAction* StepList1 = nullptr;
    QMenu* ViewMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* ImportImage1 = nullptr;
    QAction* SavePlane1 = nullptr;
    QAction* OpenPlane1 = nullptr;
    QAction* LastPlane1 = nullptr;
    QAction* MIDIPortM1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* N4 = nullptr;
    QAction* MIDI_real = nullptr;
    QAction* Monitor1 = nullptr;
    // The onion skin: the frame step before the one drawn (key O in the
    // view), and optionally the one after.
    QAction* OnionSkin1 = nullptr;
    QAction* OnionNext1 = nullptr;
    QAction* H1 = nullptr;
    QAction* About1 = nullptr;

    QTabWidget* PC = nullptr;

    // "LCD" page.
    QGroupBox* LcdGroup = nullptr;
    QRadioButton* LcdGreen = nullptr;
    QRadioButton* LcdOrange = nullptr;
    QRadioButton* LcdRed = nullptr;
    QRadioButton* LcdHide = nullptr;
    QFrame* NSDISP2Bevel = nullptr;
    PaintBox* NSDISP2 = nullptr;
    QPushButton* SpeedButton2 = nullptr;
    QCheckBox* LCD_ck = nullptr;

    // "Message" page.
    QGroupBox* MessageGroup = nullptr;
    QLineEdit* LcdText = nullptr;
    QLineEdit* LcdText2 = nullptr;
    QPushButton* SpeedButton3 = nullptr;
    QCheckBox* RecMoji = nullptr;

    // "Dot" page.
    QToolBar* ToolBar1 = nullptr;
    QButtonGroup* ToolGroup = nullptr;
    QToolButton* Pen = nullptr;
    QToolButton* Pen2 = nullptr;
    QToolButton* Box = nullptr;
    QToolButton* Box2 = nullptr;
    QToolButton* Box3 = nullptr;
    QToolButton* LineTool = nullptr;
    QToolButton* Moji = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    DotCanvas* PaintBox1 = nullptr;
    QScrollBar* XSc = nullptr;
    QScrollBar* YSc = nullptr;
    QWidget* BottomRow = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QCheckBox* AutoRec = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* XReal = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* YReal = nullptr;
    QSpinBox* Zooms = nullptr;
    QLabel* CZoom = nullptr;

    // "Effect" page.
    QGroupBox* EffectGroup = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* FX1Name = nullptr;
    QScrollBar* FX1Sel = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* FX2Name = nullptr;
    QScrollBar* FX2Sel = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* FXMode = nullptr;
    QSlider* FXModeSel = nullptr;
    QPushButton* FXRec = nullptr;

    // Side windows, created by createSecondaryWindows().
    Tverinfo* verinfo = nullptr;
    StepListWindow* StepList = nullptr;
    THelpWindow* HelpWindow = nullptr;   // made at the first F1
    TFConfig* FConfig = nullptr;
    TMoji* MojiForm = nullptr;
    TInformation* Information = nullptr;
    TMonitor* Monitor = nullptr;

public slots:
    // File menu.
    void New1Click();
    void Open1Click();
    void SaveAs1Click();
    void ImportImage1Click();
    void SavePlane1Click();
    void OpenPlane1Click();
    void LastPlane1Click();
    void MIDIPortM1Click();
    void Exit1Click();
    // Edit menu.
    void Undo1Click();
    void Redo1Click();
    // View menu.
    void N4Click();
    void StepList1Click();
    void MIDI_RealClick();
    void Monitor1Click();
    // Help menu.
    void H1Click();
    void About1Click();

    void PCChange(int index);

    // "LCD" page.
    void LcdGreenClick();
    void LcdOrangeClick();
    void LcdRedClick();
    void LcdHideClick();
    void NSDISP2Paint();
    void LCD_Save();

    // "Message" page.
    void LcdTextChange();
    void LcdText2Change();
    void LcdTextEnter();
    void SM_Save();

    // "Dot" page: the window move and the region commands.
    void XScChange();
    void YScChange();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton5Click();
    void SpeedButton1Click();
    void PaintBox1Paint();

    // "Dot" page: the dot editor.
    void PaintBox1MouseDown(int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp(int x, int y);
    void PenClick();
    void Pen2Click();
    void BoxClick();
    void Box2Click();
    void Box3Click();
    void LineToolClick();
    void ZoomsClick();
    void XRealChange();
    void YRealChange();
    void MojiClick();

    // "Effect" page.
    void FX1SelChange(int position);
    void FX2SelChange(int position);
    void FXModeSelChange(int position);
    void FXRecClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TMainForm(lumidot::Workspace* shared, std::unique_ptr<lumidot::Workspace> owned,
              SettingsStore& store, Prompts& prompts, Desktop& desktop, QWidget* parent);
    void FormCreate();
    bool FormCloseQuery();
    // What happened to unsaved work when the user was asked about it.
    enum class SaveQuestion { Proceed, Keep };
    SaveQuestion askToSaveRecording(bool closing);
    void offerStepTick(int stepTick);
    void buildMenus();
    void buildEditMenu();
    void buildShortcuts();
    void buildStepListItem();
    void createStepList();
    void recordingChanged();
    void documentChanged(DocumentChanges changes);
    void showUndoState();
    void editSteps(const QString& name, const std::function<StepEdit(Recording&)>& edit,
                   int selectFirst, int selectCount);
    void insertCurrentPageStep(int at);
    void takeFrameIntoWindow(int step);
    void connectStepTiming();
    void showStepEdit(EditResult result, int selectFirst, int selectCount);
    void askStepLength(int first, int count);
    void askStart();
    void buildPictureMenu();
    void importImages(const QStringList& files);
    bool importAnimation(const ImageFrames& frames, int count, const TImportPreview& preview,
                         std::vector<std::int64_t> durations);
    static QString importOpenFilter();
    bool importClip(const QString& fileName);
    void importClip(std::unique_ptr<VideoFile> file);
    void openPlaneFile(const QString& fileName);
    void keepPlane();
    void buildPages();
    QWidget* buildLcdPage();
    QWidget* buildMessagePage();
    QWidget* buildDotPage();
    QWidget* buildEffectPage();
    void connectHandlers();
    void connectDotEditor();
    void selectTool(DotTool tool, QToolButton* button);
    std::string strokeName() const;
    void followEditor(EditorAction action);
    void typedPosition(QLineEdit* field, QScrollBar* bar);
    void stamp(const QString& text, const QFont& font);

    void showPage(Page page);
    void sizeWindow(QSize growth);
    QSize growth() const;
    void layOutPages(QSize growth);
    void growDotPage(QSize growth);
    void keepWindowGeometry();
    void restoreWindowGeometry();
    void buildOnionItems();
    OnionSkin onionFrames(std::optional<PackedFrame>& before, std::optional<PackedFrame>& after) const;
    void overwriteFrame(int step);
    void syncLiveSwitch();
    void showPortUnusable(const std::string& reason);
    void portLost(const std::string& reason);
    void tellPortLost(const std::string& reason);
    void applyScrollSettings();
    void applyScrollSteps();
    void chooseColour(lumidot::LcdColour colour);
    void paintBackgrounds();
    void paintPreview();
    enum class SaveOutcome { Saved, Cancelled, Failed };
    SaveOutcome runSaveDialog();
    bool cableQuestionAllows(int typeIndex);
    bool timingFitsOrMayGo(int typeIndex);
    int monitorTempo() const;
    void storeScrollSettings();
    QString deviceNameForInfo() const;
    void showRecordingFull();
    void report(RecordResult result);
    void report(MessageSendResult result);

    std::unique_ptr<lumidot::Workspace> workspace_;
    lumidot::Settings settings_;
    DotEditor editor_;
    SettingsStore& store_;
    Prompts& prompts_;
    Desktop& desktop_;
    SteadyPlaybackClock playbackClock_;
    // True while the save question, or the save dialog it opened, is up:
    // close requests that arrive then are ignored.
    bool closing_ = false;
    // The save dialog's "テンポを書き込む", kept between saves as the dialog keeps its type.
    bool saveTempo_ = false;
};

} // namespace lumidot
