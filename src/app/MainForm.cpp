// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainForm.h"

#include "app/CableTexts.h"
#include "app/HelpWindow.h"
#include "app/Icons.h"
#include "app/Manual.h"
#include "app/MonitorWindow.h"
#include "app/PacerTimer.h"
#include "dialogs/AboutBox.h"
#include "dialogs/ConfigDialog.h"
#include "dialogs/InformationWindow.h"
#include "dialogs/MojiDialog.h"
#include "export/OpenCommand.h"
#include "export/SaveCommand.h"
#include "ns5r/Commands.h"
#include "ns5r/UserText.h"
#include "platform/LanguageSetting.h"
#include "platform/SettingsStore.h"
#include "recording/CableLimit.h"
#include "recording/StepTiming.h"
#include "widgets/DotCanvas.h"
#include "widgets/PaintBox.h"
#include "widgets/TextStamp.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QCloseEvent>
#include <QResizeEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QScopedValueRollback>
#include <QUrl>
#include <QWindow>

#include <algorithm>

namespace lumidot {

namespace {

constexpr QSize kPageSizes[4] = {TMainForm::kLcdPageSize, TMainForm::kMessagePageSize,
                                 TMainForm::kDotPageSize, TMainForm::kEffectPageSize};

// A page whose controls keep their places inside a content widget, which
// the window moves to the middle when it grows.
QWidget* centredPage(QWidget* content, QSize size)
{
    auto* page = new QWidget;
    content->setParent(page);
    content->setObjectName(QStringLiteral("pageContent"));
    content->setGeometry(QRect(QPoint(0, 0), size));
    return page;
}

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

TMainForm::TMainForm(lumidot::Workspace& workspace, SettingsStore& store, Prompts& prompts,
                     Desktop& desktop, QWidget* parent)
    : TMainForm(&workspace, nullptr, store, prompts, desktop, parent)
{
}

TMainForm::TMainForm(MidiOutput& output, SettingsStore& store, Prompts& prompts, Desktop& desktop,
                     QWidget* parent)
    : TMainForm(nullptr, std::make_unique<lumidot::Workspace>(output), store, prompts, desktop,
                parent)
{
}

TMainForm::TMainForm(lumidot::Workspace* shared, std::unique_ptr<lumidot::Workspace> owned,
                     SettingsStore& store, Prompts& prompts, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                              | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                              | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
    , runModal([](QDialog& dialog) { return dialog.exec(); })
    , Workspace(shared ? *shared : *owned)
    , workspace_(std::move(owned))
    , store_(store)
    , prompts_(prompts)
    , desktop_(desktop)
{
    FontDialog1 = defaultStampFont();
    setWindowTitle(QStringLiteral("Lumidot"));
    setWindowIcon(programIcon());
    buildMenus();
    buildPages();
    connectHandlers();
    buildShortcuts();
    Workspace.onStepsChanged = [this] {
        recordingChanged();
        if (Monitor)
            Monitor->recordingChanged();
    };
    Workspace.onMessage = [this] {
        if (Monitor)
            Monitor->messageObserved();
    };
    Workspace.addObserver([this](DocumentChanges changes) { documentChanged(changes); });
    Workspace.link().setLossListener([this](const std::string& reason) { portLost(reason); });
    new PacerTimer(Workspace.pacer(), this);
    FormCreate();
    restoreWindowGeometry();
}

// The pacer's timer is a child, deleted only after the members, the
// workspace with its pacer among them, are gone: it goes first.
TMainForm::~TMainForm()
{
    qDeleteAll(findChildren<PacerTimer*>(QString(), Qt::FindDirectChildrenOnly));
}

void TMainForm::createSecondaryWindows()
{
    verinfo = new Tverinfo(desktop_, this);
    FConfig = new TFConfig(*XSc, *YSc, settings_, Workspace.link().output(), this);
    MojiForm = new TMoji(FontDialog1, prompts_,
                         [this](const QString& text, const QFont& font) { stamp(text, font); }, this);
    Information = new TInformation(this);
    Monitor = new TMonitor(Workspace.display(), Workspace.link(), Workspace.document(), prompts_,
                           store_, playbackClock_, this);
    // The document keeps the monitor's tempo: the song plays, saves and
    // imports pictures at it.
    Workspace.setTempo(Monitor->tempo());
    connect(Monitor, &TMonitor::tempoChanged, this, [this](int tempo) { Workspace.setTempo(tempo); });
    createStepList();
    InfoMake();
}

void TMainForm::buildMenus()
{
    FileMenu = menuBar()->addMenu(tr("ファイル(&F)"));
    FileMenu->setToolTipsVisible(true);
    New1 = FileMenu->addAction(makeIcon(IconKind::New), tr("新規(&N)"));
    New1->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    Open1 = FileMenu->addAction(makeIcon(IconKind::Open), tr("開く(&O)..."));
    Open1->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    SaveAs1 = FileMenu->addAction(makeIcon(IconKind::Save), tr("保存(&S)"));
    SaveAs1->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    buildPictureMenu();
    MIDIPortM1 = FileMenu->addAction(makeIcon(IconKind::Settings), tr("設定(&C)"));
    MIDIPortM1->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    MIDIPortM1->setToolTip(tr("NS5Rが接続してあるデバイスを指定します。"));
    MIDIPortM1->setStatusTip(MIDIPortM1->toolTip());
    Exit1 = FileMenu->addAction(makeIcon(IconKind::Exit), tr("終了(&X)"));
    // Alt+F4 is the window manager's on most desktops; Ctrl+Q is the
    // program's own, and closes through the same save question.
    Exit1->setShortcuts(
        {QKeySequence(QStringLiteral("Alt+F4")), QKeySequence(QStringLiteral("Ctrl+Q"))});

    buildEditMenu();

    ViewMenu = menuBar()->addMenu(tr("表示(&O)"));
    N4 = ViewMenu->addAction(tr("情報表示(&I)"));
    N4->setShortcut(QKeySequence(QStringLiteral("Ctrl+I")));
    MIDI_real = ViewMenu->addAction(tr("MIDI送信(&O)"));
    MIDI_real->setShortcut(QKeySequence(QStringLiteral("Ctrl+M")));
    MIDI_real->setCheckable(true);
    MIDI_real->setChecked(true);
    buildStepListItem();
    Monitor1 = ViewMenu->addAction(tr("モニター(&M)"));
    ViewMenu->addSeparator();
    buildOnionItems();

    HelpMenu = menuBar()->addMenu(tr("ヘルプ(&H)"));
    H1 = HelpMenu->addAction(makeIcon(IconKind::Help), tr("ヘルプ(&H)"));
    H1->setShortcut(QKeySequence(Qt::Key_F1));
    HelpMenu->addSeparator();
    About1 = HelpMenu->addAction(makeIcon(IconKind::About), tr("バージョン情報(&A)"));
}

void TMainForm::buildPages()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    PC = new QTabWidget(central);
    PC->move(4, 4);
    // Compact tabs, so that all four fit the narrow Message page without
    // scroll arrows.
    QFont tabFont = PC->tabBar()->font();
    tabFont.setPointSizeF(tabFont.pointSizeF() * 0.85);
    PC->tabBar()->setFont(tabFont);
    PC->tabBar()->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 2px 6px; margin-right: 1px; border: 1px solid #a0a0a0;"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
        " background: #e4e4e4; }"
        "QTabBar::tab:selected { background: #fafafa; }"));
    PC->tabBar()->setUsesScrollButtons(false);
    PC->addTab(centredPage(buildLcdPage(), kLcdPageSize), tr("LCD"));
    PC->addTab(centredPage(buildMessagePage(), kMessagePageSize), tr("Message"));
    PC->addTab(buildDotPage(), tr("Dot"));
    PC->addTab(centredPage(buildEffectPage(), kEffectPageSize), tr("Effect"));
}

void TMainForm::connectHandlers()
{
    connect(New1, &QAction::triggered, this, &TMainForm::New1Click);
    connect(Open1, &QAction::triggered, this, &TMainForm::Open1Click);
    connect(SaveAs1, &QAction::triggered, this, &TMainForm::SaveAs1Click);
    connect(MIDIPortM1, &QAction::triggered, this, &TMainForm::MIDIPortM1Click);
    connect(Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);
    connect(N4, &QAction::triggered, this, &TMainForm::N4Click);
    connect(MIDI_real, &QAction::triggered, this, &TMainForm::MIDI_RealClick);
    connect(Monitor1, &QAction::triggered, this, &TMainForm::Monitor1Click);
    connect(H1, &QAction::triggered, this, &TMainForm::H1Click);
    connect(About1, &QAction::triggered, this, &TMainForm::About1Click);
    connect(PC, &QTabWidget::currentChanged, this, &TMainForm::PCChange);

    const auto whenSelected = [this](QRadioButton* button, void (TMainForm::*handler)()) {
        connect(button, &QRadioButton::toggled, this, [this, handler](bool selected) {
            if (selected)
                (this->*handler)();
        });
    };
    whenSelected(LcdGreen, &TMainForm::LcdGreenClick);
    whenSelected(LcdOrange, &TMainForm::LcdOrangeClick);
    whenSelected(LcdRed, &TMainForm::LcdRedClick);
    whenSelected(LcdHide, &TMainForm::LcdHideClick);
    NSDISP2->onPaint = [this] { NSDISP2Paint(); };
    connect(SpeedButton2, &QPushButton::clicked, this, &TMainForm::LCD_Save);

    connect(LcdText, &QLineEdit::textChanged, this, &TMainForm::LcdTextChange);
    connect(LcdText2, &QLineEdit::textChanged, this, &TMainForm::LcdText2Change);
    LcdText->installEventFilter(this);
    connect(SpeedButton3, &QPushButton::clicked, this, &TMainForm::SM_Save);

    connect(XSc, &QScrollBar::valueChanged, this, &TMainForm::XScChange);
    connect(YSc, &QScrollBar::valueChanged, this, &TMainForm::YScChange);
    connect(ToolButton3, &QToolButton::clicked, this, &TMainForm::ToolButton3Click);
    connect(ToolButton4, &QToolButton::clicked, this, &TMainForm::ToolButton4Click);
    connect(ToolButton1, &QToolButton::clicked, this, &TMainForm::ToolButton1Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TMainForm::ToolButton2Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TMainForm::ToolButton5Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TMainForm::SpeedButton1Click);
    PaintBox1->onPaint = [this] { PaintBox1Paint(); };
    connectDotEditor();

    connect(FX1Sel, &QScrollBar::valueChanged, this, &TMainForm::FX1SelChange);
    connect(FX2Sel, &QScrollBar::valueChanged, this, &TMainForm::FX2SelChange);
    connect(FXModeSel, &QSlider::valueChanged, this, &TMainForm::FXModeSelChange);
    connect(FXRec, &QPushButton::clicked, this, &TMainForm::FXRecClick);
}

// The creation of the window: defaults, stored settings, the port, the
// greeting. A damaged settings store ends it before the port is opened.
void TMainForm::FormCreate()
{
    editor_.setZoom(kDefaultZoom);
    FX1Name->setText(QString::fromLatin1(kEffectNames[FX1Sel->value()]));
    FX2Name->setText(QString::fromLatin1(kEffectNames[FX2Sel->value()]));
    FXMode->setText(QString::fromLatin1(kEffectModeNames[FXModeSel->value()]));
    showPage(LcdPage);
    MidiLink& link = Workspace.link();
    link.countDevicesAtStartup();
    syncLiveSwitch();
    settings_ = lumidot::Settings{};
    settings_.uiLanguage = loadUiLanguage(store_);
    const RegResult loaded = NS5R_Reg(kRegLoad, settings_, store_);
    Workspace.setStepTick(settings_.stepTick);
    if (const std::string damaged = store_.damagedPlace(); !damaged.empty())
        prompts_.information(tr("設定ファイル %1 は壊れているため読み込みませんでした。\n"
                                "次に設定を保存するときに新しく書き直します。")
                                 .arg(QFile::decodeName(damaged.c_str())));
    if (!loaded.ok) {
        prompts_.information(fromUtf8(loaded.message));
        // The steps read before the refused value take effect; the ranges
        // keep the bars' own until the settings dialog stores them.
        applyScrollSteps();
        return;
    }
    applyScrollSettings();
    Workspace.pacer().setPacing(settings_.paceLive);
    const bool opened = link.openAtStartup(settings_.midiOutIndex, settings_.midiOutName);
    syncLiveSwitch();
    if (opened)
        settings_.midiOutIndex = link.openedEntry();
    else
        showPortUnusable(link.failureReason());
    const lumidot::LcdColour colour = Workspace.document().colour;
    if (colour != lumidot::LcdColour::Off)
        Workspace.send(lcdColourBody(colour));
    Workspace.send(modeSelectBody(kModeDisplay));
    Workspace.send(showMessageBody(kStartupBannerLine1, kBannerLine2));
    setWindowTitle(QString::fromStdString(link.caption(settings_.midiOutIndex)));
}

void TMainForm::applyScrollSteps()
{
    XSc->setSingleStep(std::max<int>(1, settings_.xStep));
    YSc->setSingleStep(std::max<int>(1, settings_.yStep));
}

void TMainForm::applyScrollSettings()
{
    settings_.limits = limitsInDialogRanges(settings_.limits);
    applyScrollSteps();
    XSc->setMaximum(settings_.limits.xMax);
    XSc->setMinimum(settings_.limits.xMin);
    YSc->setMaximum(settings_.limits.yMax);
    YSc->setMinimum(settings_.limits.yMin);
}

void TMainForm::storeScrollSettings()
{
    settings_.limits = currentLimits();
    settings_.xStep = static_cast<std::uint16_t>(XSc->singleStep());
    settings_.yStep = static_cast<std::uint16_t>(YSc->singleStep());
    settings_.stepTick = Workspace.document().stepTick;
}

void TMainForm::syncLiveSwitch()
{
    const MidiLink& link = Workspace.link();
    MIDI_real->setChecked(link.liveSending());
    MIDI_real->setEnabled(link.liveSwitchEnabled());
    if (Monitor)
        Monitor->setLiveSending(link.liveSending());
}

void TMainForm::showPortUnusable(const std::string& reason)
{
    prompts_.informationWithDetail(tr("指定されたMIDIデバイスは使用できません"), fromUtf8(reason));
}

// A port that stopped working while sending: live sending is already off;
// the box comes once the handler that sent has finished and the mouse button
// is up, so that a drawing stroke is never cut in half by it.
void TMainForm::portLost(const std::string& reason)
{
    syncLiveSwitch();
    QMetaObject::invokeMethod(
        this, [this, reason] { tellPortLost(reason); }, Qt::QueuedConnection);
}

void TMainForm::tellPortLost(const std::string& reason)
{
    constexpr int kStrokeWaitMs = 50;
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(kStrokeWaitMs, this, [this, reason] { tellPortLost(reason); });
        return;
    }
    showPortUnusable(reason);
}

// Once per user action: a refusal that comes again within the same command
// (the moves and the record of Home, the two moves of Clear all and New)
// shows nothing more. The box would take the mouse release of a pressed
// scroll arrow and leave the bar repeating, so the press ends here, before
// the box.
void TMainForm::showRecordingFull()
{
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    for (QScrollBar* bar : {XSc, YSc})
        QCoreApplication::sendEvent(bar, &release);
    if (Workspace.firstRefusalOfAction())
        prompts_.information(tr("これ以上記録できません"));
}

void TMainForm::report(RecordResult result)
{
    if (result == RecordResult::Full)
        showRecordingFull();
}

void TMainForm::report(MessageSendResult result)
{
    if (result == MessageSendResult::Full)
        showRecordingFull();
}

int TMainForm::ScrollX() const
{
    return XSc->value();
}

int TMainForm::ScrollY() const
{
    return YSc->value();
}

ScrollLimits TMainForm::currentLimits() const
{
    return {XSc->minimum(), XSc->maximum(), YSc->minimum(), YSc->maximum()};
}

View TMainForm::currentView() const
{
    return editor_.viewAt(ScrollX(), ScrollY());
}

QColor TMainForm::LcdColour() const
{
    const Rgb rgb = colourRgb(Workspace.document().colour);
    return QColor(rgb.r, rgb.g, rgb.b);
}

// Pages and window size.

void TMainForm::showPage(Page page)
{
    const QSize grown = growth();
    const QSignalBlocker quiet(PC);
    PC->setCurrentIndex(page);
    sizeWindow(grown);
}

// How much larger than the smallest window of its page the user made it;
// the growth stays when the page changes.
QSize TMainForm::growth() const
{
    if (minimumSize().isEmpty())
        return {0, 0};
    return (size() - minimumSize()).expandedTo(QSize(0, 0));
}

// The window opens at the size of its page, which is also its smallest.
void TMainForm::sizeWindow(QSize growth)
{
    const QSize smallest = kPageSizes[std::clamp(PC->currentIndex(), 0, 3)] + kWindowMargin;
    setMinimumSize(smallest);
    resize(smallest + growth);
    layOutPages(growth);
}

// The tab control fills the window; the Dot page's canvas grows, and the
// other pages keep their layout, centred in the space.
void TMainForm::layOutPages(QSize growth)
{
    PC->setFixedSize(kPageSizes[std::clamp(PC->currentIndex(), 0, 3)] + growth);
    for (int index = 0; index < PC->count(); ++index) {
        if (index == DotPage)
            continue;
        if (auto* content = PC->widget(index)->findChild<QWidget*>(QStringLiteral("pageContent"),
                                                                  Qt::FindDirectChildrenOnly))
            content->move(growth.width() / 2, growth.height() / 2);
    }
    growDotPage(growth);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layOutPages(growth());
}

namespace {

const std::string kGeometryValue = "MainWindowGeometry";

} // namespace

// The size and place of the window, kept at exit as the LCD page, on which
// the window opens, would have it.
void TMainForm::keepWindowGeometry()
{
    const QSize grown = growth();
    setMinimumSize(kLcdPageSize + kWindowMargin);
    resize(kLcdPageSize + kWindowMargin + grown);
    const QByteArray geometry = saveGeometry();
    if (!store_.openKey())
        return;
    store_.write(kGeometryValue, std::span(reinterpret_cast<const std::uint8_t*>(geometry.constData()),
                                           static_cast<std::size_t>(geometry.size())));
    store_.release();
}

void TMainForm::restoreWindowGeometry()
{
    if (!store_.openKey())
        return;
    const SettingsStore::Value value = store_.read(kGeometryValue);
    store_.release();
    if (value.status != SettingsStore::ReadStatus::Ok || value.bytes.empty())
        return;
    restoreGeometry(QByteArray(reinterpret_cast<const char*>(value.bytes.data()),
                               static_cast<qsizetype>(value.bytes.size())));
    layOutPages(growth());
}

void TMainForm::PCChange(int index)
{
    // The minimum is still the last page's.
    const QSize grown = growth();
    Workspace.send(modeSelectBody(index == EffectPage ? kModeEffect : kModeDisplay));
    sizeWindow(grown);
    paintBackgrounds();
}

// The dot editor and the message lines over the backlight colour.
void TMainForm::paintBackgrounds()
{
    for (QWidget* widget : {static_cast<QWidget*>(PaintBox1), static_cast<QWidget*>(LcdText),
                            static_cast<QWidget*>(LcdText2)}) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, LcdColour());
        palette.setColor(QPalette::Window, LcdColour());
        widget->setPalette(palette);
    }
}

// File menu.

void TMainForm::SaveAs1Click()
{
    if (Workspace.document().recording.StepCount() == 0) {
        prompts_.information(tr("エクスポートするデータがありません"));
        return;
    }
    runSaveDialog();
}

bool TMainForm::isModified() const
{
    return Workspace.isModified();
}

// Runs the save dialog and the writer of the chosen file type; a failure
// has been shown when this returns.
TMainForm::SaveOutcome TMainForm::runSaveDialog()
{
    if (!prompts_.saveFileWithOption(saveFilter(),
                                     SaveDialog1, tr("テンポを書き込む (Standard MIDI)"), saveTempo_))
        return SaveOutcome::Cancelled;
    const SaveTarget target =
        saveTargetFor(QFile::encodeName(SaveDialog1.fileName).toStdString(), SaveDialog1.typeIndex);
    SaveDialog1 = {QFile::decodeName(target.fileName.c_str()), target.typeIndex};
    if (!timingFitsOrMayGo(SaveDialog1.typeIndex) || !cableQuestionAllows(SaveDialog1.typeIndex))
        return SaveOutcome::Failed;
    const SaveResult saved = Workspace.saveRecording(
        SaveDialog1.typeIndex, QFile::encodeName(SaveDialog1.fileName).toStdString(), saveTempo_);
    if (!saved.ok) {
        prompts_.information(fromUtf8(saved.message));
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Saved;
}

// A .mid or .prt plays at its tick spacing; when its steps outrun a MIDI
// cable at the monitor's tempo the module would show them late, so the user
// is asked once. Declining writes nothing and counts as not saved, so that
// a close or an open does not drop the recording.
bool TMainForm::cableQuestionAllows(int typeIndex)
{
    if (typeIndex != kTypeSmf && typeIndex != kTypePrt)
        return true;
    const Document& document = Workspace.document();
    const CableCheck check = checkCable(document.recording, document.stepTick, monitorTempo());
    return !check.outruns ||
           prompts_.askYesNo(cableSaveQuestion(check, monitorTempo(), document.stepTick));
}

// .syx and .exc hold no time: a recording with timing of its own loses it
// there, which the user is asked about once. A .prt holds waits of 1..127
// ticks only: one outside is named and nothing is written.
bool TMainForm::timingFitsOrMayGo(int typeIndex)
{
    const SaveConcerns concerns = Workspace.saveConcerns(typeIndex);
    if (concerns.prtWait.refused()) {
        prompts_.information(tr("ステップ %1 の待ち時間 (%2 Tick) は Recomposer98 形式に入りません "
                                "(1〜127 Tick)。\nStandard MIDI (.mid) で保存してください。")
                                 .arg(concerns.prtWait.step + 1)
                                 .arg(concerns.prtWait.ticks));
        return false;
    }
    if (!concerns.dropsTiming)
        return true;
    return prompts_.askYesNo(tr("%1 形式には時間が入らないため、ステップの長さと開始位置は保存されません。\n"
                                "タイミングを捨てて保存しますか？")
                                 .arg(typeIndex == kTypeSyx ? QStringLiteral("System Exclusive")
                                                            : QStringLiteral("Singer Song Writer 4")));
}

int TMainForm::monitorTempo() const
{
    return Workspace.document().tempo;
}

void TMainForm::Open1Click()
{
    if (prompts_.openFile(openFilter(), OpenDialog1))
        openFile(OpenDialog1.fileName);
}

// A .mid or .prt file carries its tick spacing; it becomes the setting only
// when the user agrees.
void TMainForm::offerStepTick(int stepTick)
{
    const int current = Workspace.document().stepTick;
    if (stepTick < 1 || stepTick > 127 || stepTick == current)
        return;
    const QString question =
        tr("このファイルのステップ間隔は %1 Tick です（現在の設定は %2 Tick）。\n"
           "設定をこの間隔に変更しますか？")
            .arg(stepTick)
            .arg(current);
    if (!prompts_.askYesNo(question))
        return;
    Workspace.setStepTick(static_cast<std::uint8_t>(stepTick));
    settings_.stepTick = Workspace.document().stepTick;
    if (FConfig)
        FConfig->tick->setValue(settings_.stepTick);
    if (Monitor)
        Monitor->stepTickChanged();
    InfoMake();
    storeScrollSettings();
    const RegResult saved = NS5R_Reg(kRegSave, settings_, store_);
    if (!saved.ok)
        prompts_.information(fromUtf8(saved.message));
}

void TMainForm::MIDIPortM1Click()
{
    SetMIDIDEV();
    if (Monitor)
        Monitor->stepTickChanged();
    InfoMake();
}

// The port change: after the settings dialog, however it was closed, the
// chosen port is opened anew, greeted, and the settings are stored. The list
// is read again each time the dialog is shown, and the port is opened by the
// name it showed, wherever the numbering has moved it since.
void TMainForm::SetMIDIDEV()
{
    const std::uint8_t remembered = settings_.midiOutIndex;
    FConfig->fillPortList();
    runModal(*FConfig);
    Workspace.setStepTick(settings_.stepTick);
    const int selected = FConfig->MIDI_Out->currentIndex();
    settings_.midiOutIndex = chooseMidiOutIndex(selected, remembered, FConfig->deviceCount());
    if (settings_.midiOutIndex == selected)
        settings_.midiOutName = FConfig->portName(selected).toStdString();
    Workspace.pacer().setPacing(settings_.paceLive);
    // What waits for the cable goes to the port it was drawn for.
    Workspace.pacer().flush();
    MidiLink& link = Workspace.link();
    const bool opened = link.reopen(settings_.midiOutIndex, settings_.midiOutName);
    if (opened)
        settings_.midiOutIndex = link.openedEntry();
    FConfig->selectChosenPort();
    syncLiveSwitch();
    if (!opened)
        showPortUnusable(link.failureReason());
    Workspace.send(lcdColourBody(Workspace.document().colour));
    Workspace.send(showMessageBody(kPortChangeBannerLine1, kBannerLine2));
    storeScrollSettings();
    const RegResult saved = NS5R_Reg(kRegSave, settings_, store_);
    if (!saved.ok)
        prompts_.information(fromUtf8(saved.message));
    else if (!saveUiLanguage(settings_.uiLanguage, store_))
        prompts_.information(fromUtf8(LUMIDOT_TEXT("Settings", "'%1' の設定に失敗しました").arg("UI_LANG")));
    setWindowTitle(QString::fromStdString(link.caption(settings_.midiOutIndex)));
}

void TMainForm::Exit1Click()
{
    close();
}

// View menu.

void TMainForm::N4Click()
{
    Information->show();
    Information->raise();
    Information->activateWindow();
}

void TMainForm::Monitor1Click()
{
    Monitor->show();
    Monitor->raise();
    Monitor->activateWindow();
}

void TMainForm::MIDI_RealClick()
{
    Workspace.link().MIDI_RealClick();
    syncLiveSwitch();
}

QString TMainForm::deviceNameForInfo() const
{
    if (!settings_.midiOutName.empty())
        return fromUtf8(settings_.midiOutName);
    const QString name = FConfig ? FConfig->portName(settings_.midiOutIndex) : QString();
    if (!name.isEmpty())
        return name;
    // A device chosen earlier that this machine does not have now.
    return tr("デバイス %1 は見つかりません").arg(settings_.midiOutIndex);
}

void TMainForm::InfoMake()
{
    if (!Information)
        return;
    const Document& document = Workspace.document();
    Information->showFigures(document.recording.StepCount(), deviceNameForInfo());
    const int tempo = monitorTempo();
    Information->showTiming(
        recordingLengthText(recordingLength(document.recording, document.stepTick, tempo), tempo,
                            document.stepTick),
        cableWarningText(checkCable(document.recording, document.stepTick, tempo)));
}

// Help menu.

void TMainForm::H1Click()
{
    if (!HelpWindow)
        HelpWindow = new THelpWindow(desktop_, this);
    const QStringList folders = manualFolders();
    HelpWindow->showManual(findManual(folders, manualFileName()), folders);
}

void TMainForm::About1Click()
{
    runModal(*verinfo);
}

// Closing.

void TMainForm::closeEvent(QCloseEvent* event)
{
    // A close request from the title bar goes to the platform window first,
    // which would end the program while the question is still up; the
    // filter on it turns such requests away.
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
    if (closing_ || !FormCloseQuery()) {
        event->ignore();
        return;
    }
    if (Information)
        Information->close();
    if (Monitor)
        Monitor->close();
    keepPlane();
    keepWindowGeometry();
    // The last picture drawn reaches the module before the port closes.
    Workspace.pacer().flush();
    Workspace.link().closePort();
    event->accept();
}

bool TMainForm::FormCloseQuery()
{
    return askToSaveRecording(true) == SaveQuestion::Proceed;
}

// Asks to save unsaved steps before they are dropped (closing, New, Open).
// Keep when the user cancels, or when the save failed, so that the
// recording is not lost. After Yes, a cancelled save dialog lets the window
// close, as asked, but keeps the recording for New and Open.
TMainForm::SaveQuestion TMainForm::askToSaveRecording(bool closing)
{
    if (!isModified())
        return SaveQuestion::Proceed;
    const QScopedValueRollback asking(closing_, true);
    switch (prompts_.askYesNoCancel(tr("更新されています保存しますか？"))) {
    case Prompts::Answer::Cancel:
        return SaveQuestion::Keep;
    case Prompts::Answer::No:
        return SaveQuestion::Proceed;
    case Prompts::Answer::Yes:
        switch (runSaveDialog()) {
        case SaveOutcome::Saved:
            return SaveQuestion::Proceed;
        case SaveOutcome::Cancelled:
            return closing ? SaveQuestion::Proceed : SaveQuestion::Keep;
        case SaveOutcome::Failed:
            return SaveQuestion::Keep;
        }
    }
    return SaveQuestion::Keep;
}

namespace {

// Line 1 is entered by the user's own move: a click, Tab, Shift+Tab or a
// shortcut. The focus that a closing menu or popup, or the window coming
// back to the front, gives back is no entry, and sends nothing.
bool enteredByUser(const QEvent& event)
{
    if (event.type() != QEvent::FocusIn)
        return false;
    switch (static_cast<const QFocusEvent&>(event).reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (closing_ && event->type() == QEvent::Close && watched == windowHandle()) {
        event->ignore();
        return true;
    }
    if (watched == LcdText && enteredByUser(*event))
        LcdTextEnter();
    return QMainWindow::eventFilter(watched, event);
}

} // namespace lumidot
