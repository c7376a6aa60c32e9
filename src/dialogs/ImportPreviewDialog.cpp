// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ImportPreviewDialog.h"

#include "widgets/DotView.h"
#include "picture/Geometry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace lumidot {

namespace {

constexpr int kPreviewCell = 8;   // the dot editor's cell at its first zoom

} // namespace

TImportPreview::TImportPreview(const GreyImage& first, int frames, const VirtualArea& area,
                               int windowX, int windowY, const QColor& lcdColour, QWidget* parent)
    : TImportPreview(PictureSize{first.width, first.height}, area, windowX, windowY, lcdColour, parent)
{
    first_ = first;
    frames_ = frames;
    updatePreview();
}

TImportPreview::TImportPreview(PictureSize source, const VirtualArea& area, int windowX, int windowY,
                               const QColor& lcdColour, QWidget* parent)
    : QDialog(parent)
    , source_(source)
    , frames_(0)
    , area_(area)
    , windowX_(windowX)
    , windowY_(windowY)
    , lcdColour_(lcdColour)
    , preview_(kViewPixelsWide, kViewPixelsHigh, QImage::Format_RGB32)
{
    setWindowTitle(tr("画像の読み込み"));
    buildControls();
    connectControls();
}

void TImportPreview::buildControls()
{
    auto* layout = layout_ = new QVBoxLayout(this);
    Picture = new QLabel(this);
    Picture->setFixedSize(kViewPixelsWide, kViewPixelsHigh);
    Facts = new QLabel(this);
    layout->addWidget(Picture, 0, Qt::AlignHCenter);
    layout->addWidget(Facts);

    auto* place = new QGroupBox(tr("位置"), this);
    auto* placeRow = new QHBoxLayout(place);
    PosX = new QSpinBox(place);
    PosX->setRange(VirtualArea::kMinX, VirtualArea::kMaxX);
    PosX->setValue(windowX_);
    PosY = new QSpinBox(place);
    PosY->setRange(VirtualArea::kMinY, VirtualArea::kMaxY);
    PosY->setValue(windowY_);
    placeRow->addWidget(new QLabel(QStringLiteral("X"), place));
    placeRow->addWidget(PosX);
    placeRow->addWidget(new QLabel(QStringLiteral("Y"), place));
    placeRow->addWidget(PosY);
    Replace = new QRadioButton(tr("置き換える"), place);
    Add = new QRadioButton(tr("重ねる"), place);
    Replace->setToolTip(tr("画像の下のドットを画像で置き換えます"));
    Add->setToolTip(tr("画像の黒いドットだけを下のドットに加えます"));
    Replace->setChecked(true);
    placeRow->addWidget(Replace);
    placeRow->addWidget(Add);
    layout->addWidget(place);

    auto* scale = new QGroupBox(tr("拡大縮小"), this);
    auto* scaleRow = new QHBoxLayout(scale);
    ScaleSel = new QComboBox(scale);
    ScaleSel->addItems({tr("なし"), tr("ウィンドウに合わせる (32 x 16)"),
                        tr("高さに合わせる (16)"), tr("拡大率")});
    ScaleSel->setCurrentIndex(static_cast<int>(ScaleMode::FitWindow));
    Percent = new QSpinBox(scale);
    Percent->setRange(kMinPercent, kMaxPercent);
    Percent->setValue(100);
    Percent->setSuffix(QStringLiteral(" %"));
    Percent->setEnabled(false);
    scaleRow->addWidget(ScaleSel, 1);
    scaleRow->addWidget(Percent);
    layout->addWidget(scale);

    auto* dots = new QGroupBox(tr("ドットへの変換"), this);
    auto* dotsGrid = new QVBoxLayout(dots);
    auto* thresholdRow = new QHBoxLayout;
    ThresholdMode = new QRadioButton(tr("しきい値"), dots);
    ThresholdMode->setChecked(true);
    Threshold = new QSlider(Qt::Horizontal, dots);
    Threshold->setRange(0, 255);
    Threshold->setValue(DotConversion{}.threshold);
    ThresholdValue = new QLabel(dots);
    ThresholdValue->setMinimumWidth(28);
    AutoThreshold = new QCheckBox(tr("自動"), dots);
    AutoThreshold->setToolTip(tr("明暗の分かれ目を画像ごとに選びます (大津の方法)"));
    AutoThreshold->setChecked(true);
    thresholdRow->addWidget(ThresholdMode);
    thresholdRow->addWidget(Threshold, 1);
    thresholdRow->addWidget(ThresholdValue);
    thresholdRow->addWidget(AutoThreshold);
    dotsGrid->addLayout(thresholdRow);
    auto* ditherRow = new QHBoxLayout;
    DitherFS = new QRadioButton(tr("ディザ (Floyd-Steinberg)"), dots);
    DitherBayer = new QRadioButton(tr("ディザ (Bayer 4 x 4)"), dots);
    ditherRow->addWidget(DitherFS);
    ditherRow->addWidget(DitherBayer);
    dotsGrid->addLayout(ditherRow);
    Invert = new QCheckBox(tr("反転"), dots);
    dotsGrid->addWidget(Invert);
    layout->addWidget(dots);
    ThinFrames = new QCheckBox(tr("ケーブルに収まるように間引く"), this);
    ThinFrames->setToolTip(tr("MIDIケーブル (毎秒3,125バイト) が前のフレームを送り終える前に来るフレームを除きます。"
                              "除いたフレームの時間は前のフレームが表示し続けます"));
    ThinFrames->setVisible(false);
    layout->addWidget(ThinFrames);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Cancel)->setText(tr("キャンセル"));
    layout->addWidget(Buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TImportPreview::connectControls()
{
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto update = [this] { updatePreview(); };
    connect(ScaleSel, &QComboBox::currentIndexChanged, this, update);
    for (QSpinBox* box : {Percent, PosX, PosY})
        connect(box, &QSpinBox::valueChanged, this, update);
    connect(Threshold, &QSlider::valueChanged, this, update);
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             ThresholdMode, DitherFS, DitherBayer, AutoThreshold, Invert, Replace, Add})
        connect(button, &QAbstractButton::toggled, this, update);
}

DotConversion TImportPreview::conversion() const
{
    DotConversion conversion;
    conversion.scale = static_cast<ScaleMode>(ScaleSel->currentIndex());
    conversion.percent = Percent->value();
    conversion.method = DitherFS->isChecked()      ? DotMethod::FloydSteinberg
                        : DitherBayer->isChecked() ? DotMethod::Bayer
                                                   : DotMethod::Threshold;
    conversion.threshold = Threshold->value();
    conversion.autoThreshold = AutoThreshold->isChecked();
    conversion.invert = Invert->isChecked();
    return conversion;
}

QPoint TImportPreview::position() const
{
    return {PosX->value(), PosY->value()};
}

void TImportPreview::setShortFrames(int count)
{
    shortFrames_ = count;
    ThinFrames->setVisible(count > 0);
    updatePreview();
}

bool TImportPreview::thinForCable() const
{
    return shortFrames_ > 0 && ThinFrames->isChecked();
}

Placement TImportPreview::placement() const
{
    return Add->isChecked() ? Placement::Add : Placement::Replace;
}

void TImportPreview::updatePreview()
{
    const DotConversion chosen = conversion();
    Percent->setEnabled(chosen.scale == ScaleMode::Percent);
    const bool byThreshold = chosen.method == DotMethod::Threshold;
    AutoThreshold->setEnabled(byThreshold);
    Threshold->setEnabled(byThreshold && !chosen.autoThreshold);
    const GreyImage scaled = frameAt(chosen);
    if (byThreshold && chosen.autoThreshold) {
        // The slider shows the level chosen for the frame shown.
        const QSignalBlocker quiet(Threshold);
        Threshold->setValue(otsuThreshold(scaled));
    }
    ThresholdValue->setText(QString::number(Threshold->value()));

    DotConversion atSize = chosen;
    atSize.scale = ScaleMode::None;
    const DotImage dots = convertToDots(scaled, atSize);
    composeWindow(dots);
    Facts->setText(describe(dots));
    QPainter painter(&preview_);
    paintDotCells(painter, scratch_, windowX_, windowY_, kPreviewCell, lcdColour_);
    painter.end();
    Picture->setPixmap(QPixmap::fromImage(preview_));
}

GreyImage TImportPreview::frameAt(const DotConversion& chosen)
{
    return scaledPicture(first_, chosen);
}

QString TImportPreview::describe(const DotImage& dots) const
{
    QString facts = tr("%1 x %2 ピクセル → %3 x %4 ドット、%n フレーム", nullptr, frames_)
                        .arg(source_.width)
                        .arg(source_.height)
                        .arg(dots.width)
                        .arg(dots.height);
    if (shortFrames_ > 0)
        facts += tr("、うち %1 フレームはケーブルに間に合いません").arg(shortFrames_);
    return facts;
}

void TImportPreview::addSection(QWidget* section)
{
    layout_->insertWidget(layout_->indexOf(Buttons), section);
}

// The window's dots from the plane, with the part of the picture that falls
// inside the window put on them.
void TImportPreview::composeWindow(const DotImage& dots)
{
    const QPoint at = position();
    const Placement how = placement();
    for (int j = 0; j < kLcdRows; ++j) {
        for (int i = 0; i < kLcdCols; ++i) {
            const int x = windowX_ + i;
            const int y = windowY_ + j;
            std::uint8_t dot = area_.dot(x, y);
            const int px = x - at.x();
            const int py = y - at.y();
            if (px >= 0 && py >= 0 && px < dots.width && py < dots.height) {
                const std::uint8_t picture = dots.at(px, py);
                dot = how == Placement::Replace ? picture : static_cast<std::uint8_t>(dot | picture);
            }
            scratch_.setDot(x, y, dot);
        }
    }
}

} // namespace lumidot
