// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>

#include <functional>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace lumidot {

class Prompts;

// The text stamping dialog "文字入力": a short text, a font button, OK and
// Cancel. It is built once and keeps its text from one opening to the next.
// The stamp itself belongs to the main window, which owns the plane, the
// scroll position and the sending and recording of the frame.
class TMoji : public QDialog {
    Q_OBJECT
public:
    // Stamps text in font at the window position, repaints, sends the window
    // and records it when continuous recording is on.
    using Stamper = std::function<void(const QString& text, const QFont& font)>;

    static constexpr int kClientWidth = 323;
    static constexpr int kClientHeight = 26;
    static constexpr int kEditPixelSize = 17;

    // stampFont is the main window's font dialog state (FontDialog1): the font
    // button replaces it, and the stamp renders with it.
    TMoji(QFont& stampFont, Prompts& prompts, Stamper stamper, QWidget* parent = nullptr);

    // MojiClick: shows the text in the stamping font's face, then runs the
    // dialog modally. Returns QDialog::Accepted after a stamp.
    int runFor();
    // The first half of runFor without the modal loop, for callers that
    // drive the dialog themselves.
    void prepareToShow();

    QLineEdit* GKanji() const { return gKanji_; }
    QPushButton* BitBtn1() const { return bitBtn1_; }
    QPushButton* Button1() const { return button1_; }
    QToolButton* SpeedButton1() const { return speedButton1_; }

public slots:
    // The font button: a confirmed choice replaces the stamping font; the
    // edit shows the new face from the next opening on.
    void SpeedButton1Click();
    // OK: stamps the text and closes the dialog with the result OK.
    void BitBtn1Click();

private:
    void buildControls();

    QFont& stampFont_;
    Prompts& prompts_;
    Stamper stamper_;
    QLineEdit* gKanji_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* button1_ = nullptr;
    QToolButton* speedButton1_ = nullptr;
};

} // namespace lumidot
