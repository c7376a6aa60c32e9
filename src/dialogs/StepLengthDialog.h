// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <cstdint>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace lumidot {

// "長さ": the length to give the selected steps, as a note value from a
// sixteenth to four bars or as ticks at 480 a quarter. Opens at the length
// of the first selected step.
class TStepLengthDialog : public QDialog {
    Q_OBJECT

public:
    TStepLengthDialog(std::int64_t current, int shortest, QWidget* parent = nullptr);

    std::int64_t length() const;

    QRadioButton* NoteMode = nullptr;
    QComboBox* NoteSel = nullptr;
    QRadioButton* TickMode = nullptr;
    QSpinBox* Ticks = nullptr;
    QLabel* Hint = nullptr;
    QDialogButtonBox* Buttons = nullptr;
};

} // namespace lumidot
