// SPDX-License-Identifier: GPL-3.0-or-later
// The "LCD" page: the backlight colour and its preview.
#include "app/DisplayPicture.h"
#include "app/MainForm.h"
#include "widgets/PaintBox.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace lumidot {

namespace {

const QImage& preview()
{
    static const QImage picture = displayPicture();
    return picture;
}

} // namespace

QWidget* TMainForm::buildLcdPage()
{
    auto* page = new QWidget;
    LcdGroup = new QGroupBox(tr("LCD Color"), page);
    LcdGroup->setGeometry(2, 0, 387, 104);

    LcdGreen = new QRadioButton(tr("Green"), LcdGroup);
    LcdOrange = new QRadioButton(tr("Orange"), LcdGroup);
    LcdRed = new QRadioButton(tr("Red"), LcdGroup);
    LcdHide = new QRadioButton(tr("Off"), LcdGroup);
    int top = 18;
    for (QRadioButton* button : {LcdGreen, LcdOrange, LcdRed, LcdHide}) {
        button->setGeometry(8, top, 72, 16);
        top += 16;
    }
    LcdGreen->setChecked(true);

    SpeedButton2 = new QPushButton(tr("記録"), LcdGroup);
    SpeedButton2->setGeometry(8, 84, 46, 17);
    SpeedButton2->setToolTip(tr("コマ記録"));
    LCD_ck = new QCheckBox(LcdGroup);
    LCD_ck->setGeometry(58, 84, 17, 17);
    LCD_ck->setToolTip(tr("連続記録スイッチ"));

    NSDISP2Bevel = new QFrame(LcdGroup);
    NSDISP2Bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    NSDISP2Bevel->setLineWidth(1);
    NSDISP2Bevel->setGeometry(88, 16, 292, 84);
    NSDISP2 = new PaintBox(QSize(288, 80), NSDISP2Bevel);
    NSDISP2->move(2, 2);
    return page;
}

void TMainForm::LcdGreenClick()
{
    chooseColour(lumidot::LcdColour::Green);
}

void TMainForm::LcdOrangeClick()
{
    chooseColour(lumidot::LcdColour::Orange);
}

void TMainForm::LcdRedClick()
{
    chooseColour(lumidot::LcdColour::Red);
}

void TMainForm::LcdHideClick()
{
    chooseColour(lumidot::LcdColour::Off);
}

// Runs once the button has become the selected one, so a continuous
// recording records the new colour.
void TMainForm::chooseColour(lumidot::LcdColour colour)
{
    const auto action = Workspace.transaction({});
    Workspace.setColour(colour, LCD_ck->isChecked());
    paintPreview();
    NSDISP2->refresh();
}

void TMainForm::NSDISP2Paint()
{
    paintPreview();
}

// The display picture over the backlight colour. The outline rectangle is
// taller than the box, so only its top and sides show.
void TMainForm::paintPreview()
{
    QPainter p(&NSDISP2->canvas());
    p.setPen(Qt::black);
    p.setBrush(LcdColour());
    p.drawRect(0, 0, 286, 142);
    p.drawImage(0, 0, preview());
}

void TMainForm::LCD_Save()
{
    const auto action = Workspace.transaction({});
    Workspace.recordColour();
}

} // namespace lumidot
