// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/Geometry.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QScrollBar;
class QSpinBox;

namespace lumidot {

class MidiOutput;
struct Settings;

// What the settings dialog lets the user choose.
inline constexpr int kXMinLow = -512;
inline constexpr int kXMinHigh = 0;
inline constexpr int kXMaxLow = 32;
inline constexpr int kXMaxHigh = 512;
inline constexpr int kYMinLow = -256;
inline constexpr int kYMinHigh = 0;
inline constexpr int kYMaxLow = 16;
inline constexpr int kYMaxHigh = 256;
inline constexpr int kTickLow = 1;
inline constexpr int kTickHigh = 127;
// Arrow steps of the scroll bars in frame mode: one window.
inline constexpr int kFrameStepX = 32;
inline constexpr int kFrameStepY = 16;

// Stored limits brought into the ranges the dialog allows, so that a damaged
// store cannot give a scroll bar an empty or inverted range.
ScrollLimits limitsInDialogRanges(const ScrollLimits& limits);

// "各種設定": the port, the scroll limits, the scroll mode, the tick spacing
// and the language. Every change acts on the main window's scroll bars and
// settings at once; the port choice is taken when the dialog closes, the
// language at the next start.
class TFConfig : public QDialog {
    Q_OBJECT

public:
    TFConfig(QScrollBar& xSc, QScrollBar& ySc, Settings& settings, MidiOutput& output,
             QWidget* parent = nullptr);

    // Reads the port list again ("MIDI Mapper" first, then every output
    // device now present) and selects the chosen port: by its name when it
    // is known, else by its entry; nothing when it is not in the list.
    void fillPortList();
    // Selects the chosen port in the list as it stands.
    void selectChosenPort();
    // The number of output devices counted when the list was last filled.
    int deviceCount() const { return deviceCount_; }
    // The port list entry at index, or an empty string when there is none.
    QString portName(int index) const;
    // The entry of the list that shows name, or -1.
    int entryNamed(const QString& name) const;

    QComboBox* MIDI_Out = nullptr;
    QLabel* Label1 = nullptr;   // "X(Min)"
    QLabel* Label5 = nullptr;   // "X(Max)"
    QLabel* Label3 = nullptr;   // "Y(Min)"
    QLabel* Label4 = nullptr;   // "Y(Max)"
    QSpinBox* X_Min = nullptr;
    QSpinBox* X_Max = nullptr;
    QSpinBox* Y_Min = nullptr;
    QSpinBox* Y_Max = nullptr;
    QSpinBox* tick = nullptr;
    QRadioButton* R_Normal = nullptr;
    QRadioButton* R_Koma = nullptr;
    QComboBox* UI_Lang = nullptr;   // "表示言語": 日本語, English, the system's
    // Live frames at the cable's pace (on), or every move at once for a
    // virtual port whose reader wants every frame (off).
    QCheckBox* PaceLive = nullptr;

public slots:
    void X_MinClick(int position);
    void X_MaxClick(int position);
    void Y_MinClick(int position);
    void Y_MaxClick(int position);
    void Label1Click();
    void Label5Click();
    void Label3Click();
    void Label4Click();
    void R_NormalClick();
    void R_KomaClick();
    void tickClick(int position);
    void UI_LangChange(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* buildLanguageGroup();
    void FormCreate();
    void setIncrements(int x, int y);

    QScrollBar& xSc_;
    QScrollBar& ySc_;
    Settings& settings_;
    MidiOutput& output_;
    int deviceCount_ = 0;
};

} // namespace lumidot
