// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/PixelDots.h"
#include "picture/VirtualArea.h"

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QPoint>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QRadioButton;
class QSlider;
class QSpinBox;
class QVBoxLayout;

namespace lumidot {

// The preview of a picture import: the LCD window as it will look with the
// picture in it, at the dot editor's scale, and the choices of the
// conversion. Nothing changes in the plane until the import runs with the
// choices the dialog was closed with.
class TImportPreview : public QDialog {
    Q_OBJECT

public:
    // first: the first frame; frames: how many the import holds. The window
    // at (windowX, windowY) of area is what the preview shows.
    TImportPreview(const GreyImage& first, int frames, const VirtualArea& area, int windowX,
                   int windowY, const QColor& lcdColour, QWidget* parent = nullptr);

    DotConversion conversion() const;
    QPoint position() const;
    Placement placement() const;

    // An animation's frames that come sooner than a MIDI cable carries a
    // frame: counted in the facts line, and offered to be dropped.
    void setShortFrames(int count);
    bool thinForCable() const;

    // The window as the import would leave it, 256 x 128 pixels.
    const QImage& preview() const { return preview_; }

    // Scale entries of ScaleSel, in the order of ScaleMode.
    QComboBox* ScaleSel = nullptr;
    QSpinBox* Percent = nullptr;
    QSpinBox* PosX = nullptr;
    QSpinBox* PosY = nullptr;
    QRadioButton* ThresholdMode = nullptr;
    QRadioButton* DitherFS = nullptr;
    QRadioButton* DitherBayer = nullptr;
    QSlider* Threshold = nullptr;
    QCheckBox* AutoThreshold = nullptr;
    QLabel* ThresholdValue = nullptr;
    QCheckBox* Invert = nullptr;
    QCheckBox* ThinFrames = nullptr;
    QRadioButton* Replace = nullptr;
    QRadioButton* Add = nullptr;
    QLabel* Picture = nullptr;
    QLabel* Facts = nullptr;
    QDialogButtonBox* Buttons = nullptr;

public slots:
    // Converts the frame shown with the current choices and repaints.
    void updatePreview();

protected:
    // For an import whose frames come from elsewhere (a clip): source is the
    // size of its pictures. Calls no virtual function: the derived dialog
    // shows its first preview itself.
    TImportPreview(PictureSize source, const VirtualArea& area, int windowX, int windowY,
                   const QColor& lcdColour, QWidget* parent);

    // The frame the preview shows, as the conversion scales it, or cuts it
    // to the plane's size when it does not scale.
    virtual GreyImage frameAt(const DotConversion& chosen);
    // The line under the picture.
    virtual QString describe(const DotImage& dots) const;
    // A group of further choices, put above the buttons.
    void addSection(QWidget* section);
    PictureSize source() const { return source_; }

private:
    void buildControls();
    void connectControls();
    void composeWindow(const DotImage& dots);

    GreyImage first_;
    PictureSize source_;
    int frames_;
    QVBoxLayout* layout_ = nullptr;
    int shortFrames_ = 0;
    const VirtualArea& area_;
    int windowX_;
    int windowY_;
    QColor lcdColour_;
    VirtualArea scratch_;   // the window's dots with the picture placed
    QImage preview_;
};

} // namespace lumidot
