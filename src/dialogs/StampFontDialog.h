// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QFont>

class QCheckBox;
class QFontComboBox;
class QLabel;
class QSpinBox;

namespace lumidot {

// The font dialog of text stamping: face, size from 8 to 20 points, bold,
// italic, underline and strikeout. Qt's own font dialog offers only the
// styles a face file has, so bold italic, which the stamping font starts
// with, could not be shown or chosen again with a Japanese face.
class TStampFontDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSmallestPoints = 8;
    static constexpr int kLargestPoints = 20;

    // Opens on font as it is drawn: its face as fontconfig resolves it, its
    // size as the matching point size, its style.
    explicit TStampFontDialog(const QFont& font, QWidget* parent = nullptr);

    // The font chosen; the original font itself, unchanged, when nothing
    // was changed in the dialog, so that stamping stays exactly as it was.
    QFont chosenFont() const;

    QFontComboBox* Family() const { return family_; }
    QSpinBox* Size() const { return size_; }
    QCheckBox* Bold() const { return bold_; }
    QCheckBox* Italic() const { return italic_; }
    QCheckBox* Underline() const { return underline_; }
    QCheckBox* StrikeOut() const { return strikeOut_; }

private:
    QFont fontOfControls() const;
    void showSample();

    QFont original_;
    QFont shown_;
    QFontComboBox* family_ = nullptr;
    QSpinBox* size_ = nullptr;
    QCheckBox* bold_ = nullptr;
    QCheckBox* italic_ = nullptr;
    QCheckBox* underline_ = nullptr;
    QCheckBox* strikeOut_ = nullptr;
    QLabel* sample_ = nullptr;
};

} // namespace lumidot
