// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace lumidot {

// "開始位置": where the first step starts, as bar:beat:tick in 4/4, so that
// the animation begins exactly on a bar of the song; or as recorded, after
// the first step's wait.
class TStartDialog : public QDialog {
    Q_OBJECT

public:
    // current: the start set, if any; recorded: where the first step starts
    // without one.
    TStartDialog(std::optional<int> current, std::int64_t recorded, QWidget* parent = nullptr);

    // The start chosen: none for as recorded.
    std::optional<int> start() const;

    QRadioButton* AsRecorded = nullptr;
    QRadioButton* AtPosition = nullptr;
    QSpinBox* Bar = nullptr;
    QSpinBox* Beat = nullptr;
    QSpinBox* Tick = nullptr;
    QLabel* Hint = nullptr;
    QDialogButtonBox* Buttons = nullptr;
};

} // namespace lumidot
