// SPDX-License-Identifier: GPL-3.0-or-later
// The "Dot" page: its controls, the window move and the region commands.
#include "app/Icons.h"
#include "app/MainForm.h"
#include "dialogs/MojiDialog.h"
#include "recording/StepEdits.h"
#include "app/StepListWindow.h"
#include "widgets/DotCanvas.h"
#include "widgets/DotView.h"
#include "widgets/TextStamp.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

namespace lumidot {

namespace {

QToolButton* toolButton(IconKind icon, const QString& hint, QToolBar* bar)
{
    auto* button = new QToolButton(bar);
    button->setIcon(makeIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFixedSize(24, 22);
    bar->addWidget(button);
    return button;
}

QScrollBar* windowBar(Qt::Orientation orientation, int minimum, int maximum, QWidget* parent)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setRange(minimum, maximum);
    // A click in the trough moves by one dot, whatever the arrow step.
    bar->setPageStep(1);
    bar->setValue(0);
    return bar;
}

// A sunken frame holding a caption and a borderless position field.
QLineEdit* positionField(const QString& caption, QLabel*& label, const QRect& geometry,
                         QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(geometry);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(2, 0, 1, 0);
    row->setSpacing(0);
    label = new QLabel(caption, frame);
    auto* field = new QLineEdit(frame);
    field->setFrame(false);
    field->setMaxLength(4);
    field->setStyleSheet(QStringLiteral("background: transparent"));
    row->addWidget(label);
    row->addWidget(field, 1);
    return field;
}

} // namespace

QWidget* TMainForm::buildDotPage()
{
    const ScrollLimits design;
    auto* page = new QWidget;

    ToolBar1 = new QToolBar(page);
    ToolBar1->setGeometry(0, 0, 289, 24);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    ToolBar1->layout()->setSpacing(0);
    ToolBar1->layout()->setContentsMargins(0, 0, 0, 0);
    Pen = toolButton(IconKind::Pen, tr("ドットペン(黒)"), ToolBar1);
    Pen2 = toolButton(IconKind::Pen2, tr("ドットペン(白)"), ToolBar1);
    Box = toolButton(IconKind::Box, tr("矩形(黒)"), ToolBar1);
    Box2 = toolButton(IconKind::Box2, tr("矩形塗りつぶし(黒)"), ToolBar1);
    Box3 = toolButton(IconKind::Box3, tr("矩形塗りつぶし(白)"), ToolBar1);
    ToolBar1->addSeparator();
    Moji = toolButton(IconKind::Moji, tr("文字入力"), ToolBar1);
    ToolBar1->addSeparator();
    ToolButton3 = toolButton(IconKind::ClearAll, tr("すべての領域をクリアします"), ToolBar1);
    ToolButton4 = toolButton(IconKind::Home, tr("ホームポジションに移動します"), ToolBar1);
    ToolBar1->addSeparator();
    ToolButton1 = toolButton(IconKind::Invert, tr("ドット反転"), ToolBar1);
    ToolButton2 = toolButton(IconKind::Mirror, tr("左右反転"), ToolBar1);
    ToolButton5 = toolButton(IconKind::Flip, tr("上下反転"), ToolBar1);
    // Last, so that the smallest window keeps every other button where it
    // was; there the tool bar shows it behind its extension arrow.
    ToolBar1->addSeparator();
    LineTool = toolButton(IconKind::Line, tr("直線"), ToolBar1);
    ToolGroup = new QButtonGroup(page);
    ToolGroup->setExclusive(true);
    for (QToolButton* button : {Pen, Pen2, Box, Box2, Box3, LineTool}) {
        button->setCheckable(true);
        ToolGroup->addButton(button);
    }
    Pen->setChecked(true);

    GroupBox3 = new QGroupBox(tr("Frame Draw"), page);
    GroupBox3->setGeometry(0, 25, 288, 168);
    PaintBox1 = new DotCanvas(GroupBox3);
    PaintBox1->setGeometry(8, 16, kViewPixelsWide, kViewPixelsHigh);
    XSc = windowBar(Qt::Horizontal, design.xMin, design.xMax, GroupBox3);
    XSc->setGeometry(9, 146, 256, 16);
    YSc = windowBar(Qt::Vertical, design.yMin, design.yMax, GroupBox3);
    YSc->setGeometry(265, 16, 16, 128);

    BottomRow = new QWidget(page);
    BottomRow->setGeometry(0, 200, 289, 25);
    SpeedButton1 = new QPushButton(tr("記録"), BottomRow);
    SpeedButton1->setGeometry(0, 0, 46, 17);
    SpeedButton1->setToolTip(tr("コマ記録"));
    AutoRec = new QCheckBox(tr("連続記録"), BottomRow);
    AutoRec->setGeometry(56, 0, 73, 17);
    XReal = positionField(tr("Ｘ："), Label4, QRect(132, 0, 53, 17), BottomRow);
    YReal = positionField(tr("Ｙ："), Label5, QRect(188, 0, 53, 17), BottomRow);
    YReal->setText(QStringLiteral("0"));
    Zooms = new QSpinBox(BottomRow);
    Zooms->setRange(1, 4);
    Zooms->setValue(kDefaultZoom);
    Zooms->setWrapping(false);
    // Wide and tall enough for a pointer to hit each arrow.
    Zooms->setGeometry(244, 0, 28, 24);
    CZoom = new QLabel(QStringLiteral("32"), BottomRow);
    QFont zoomFont = CZoom->font();
    // A 16-pixel character cell: the glyphs themselves are a little smaller.
    zoomFont.setPixelSize(13);
    CZoom->setFont(zoomFont);
    CZoom->setGeometry(274, 4, 16, 16);
    return page;
}

void TMainForm::PaintBox1Paint()
{
    Disp_FD();
}

// The whole view, repainted from the plane with the onion skin under it and
// the rubber band of a rectangle or line drag on top.
void TMainForm::Disp_FD()
{
    const Document& document = Workspace.document();
    const View view = currentView();
    DotViewScene scene{&document.plane,    ScrollX(),   ScrollY(),
                       editor_.cellSize(), LcdColour(), editor_.rubberBand(),
                       document.colour == lumidot::LcdColour::Green};
    scene.cols = view.cols;
    scene.rows = view.rows;
    std::optional<PackedFrame> before;
    std::optional<PackedFrame> after;
    scene.onion = onionFrames(before, after);
    PaintBox1->showScene(scene);
}

// The frame steps around the one being drawn: around the step selected in
// the step list while it is open, else the last one recorded. Shown only:
// the skin is never sent and never recorded.
OnionSkin TMainForm::onionFrames(std::optional<PackedFrame>& before,
                                 std::optional<PackedFrame>& after) const
{
    if (!OnionSkin1->isChecked())
        return {};
    const Recording& recording = Workspace.document().recording;
    const auto [first, count] = StepList && StepList->isVisible() ? StepList->selection()
                                                                   : std::pair(0, 0);
    const int at = count > 0 ? first : recording.StepCount();
    before = frameBefore(recording, at);
    if (OnionNext1->isChecked())
        after = frameAfter(recording, at);
    return {before ? &*before : nullptr, after ? &*after : nullptr};
}

void TMainForm::buildOnionItems()
{
    OnionSkin1 = ViewMenu->addAction(tr("オニオンスキン(&N)"));
    OnionSkin1->setCheckable(true);
    OnionNext1 = ViewMenu->addAction(tr("オニオンスキンに次のコマも表示(&X)"));
    OnionNext1->setCheckable(true);
    OnionNext1->setEnabled(false);
    connect(OnionSkin1, &QAction::toggled, this, [this](bool on) {
        OnionNext1->setEnabled(on);
        Disp_FD();
    });
    connect(OnionNext1, &QAction::toggled, this, [this] { Disp_FD(); });
}

// The canvas grows with the window in whole cells: the cell size at zoom 1
// is the largest that fits the space, and the frame, the bars and the row
// below follow the canvas, centred across the page.
void TMainForm::growDotPage(QSize growth)
{
    const int cell = zoomOneCellFor(kViewPixelsWide + growth.width(), kViewPixelsHigh + growth.height());
    editor_.setZoomOneCell(cell);
    const int dw = kZoomOneCols * cell - kViewPixelsWide;
    const int dh = kZoomOneRows * cell - kViewPixelsHigh;
    const int left = (growth.width() - dw) / 2;
    ToolBar1->setGeometry(0, 0, 289 + growth.width(), 24);
    GroupBox3->setGeometry(left, 25, 288 + dw, 168 + dh);
    PaintBox1->setGeometry(8, 16, kViewPixelsWide + dw, kViewPixelsHigh + dh);
    XSc->setGeometry(9, 146 + dh, 256 + dw, 16);
    YSc->setGeometry(265 + dw, 16, 16, 128 + dh);
    BottomRow->setGeometry(left, 200 + dh, 289, 25);
    Disp_FD();
}

void TMainForm::FD_OUT()
{
    Workspace.sendWindow();
}

void TMainForm::DotSave()
{
    report(Workspace.recordWindow());
}

void TMainForm::SpeedButton1Click()
{
    const auto action = Workspace.transaction({});
    DotSave();
}

// The window move: the scroll position is the bar's position already.
void TMainForm::XScChange()
{
    const auto action = Workspace.transaction({});
    const RecordResult recorded = Workspace.moveWindow({ScrollX(), ScrollY()}, AutoRec->isChecked());
    Disp_FD();
    report(recorded);
    XReal->setText(QString::number(ScrollX()));
}

void TMainForm::YScChange()
{
    const auto action = Workspace.transaction({});
    const RecordResult recorded = Workspace.moveWindow({ScrollX(), ScrollY()}, AutoRec->isChecked());
    Disp_FD();
    report(recorded);
    YReal->setText(QString::number(ScrollY()));
}

// Clear all sends only through the window moves it causes.
void TMainForm::ToolButton3Click()
{
    const auto action = Workspace.transaction(tr("すべてクリア").toStdString());
    Workspace.clear(clearRegionFor(currentLimits()));
    Disp_FD();
    XSc->setValue(0);
    YSc->setValue(0);
}

void TMainForm::ToolButton4Click()
{
    const auto action = Workspace.transaction({});
    XSc->setValue(0);
    YSc->setValue(0);
    report(Workspace.windowChanged(AutoRec->isChecked()));
}

void TMainForm::ToolButton1Click()
{
    const auto action = Workspace.transaction(tr("ドット反転").toStdString());
    const RecordResult recorded = Workspace.invert(currentView(), AutoRec->isChecked());
    Disp_FD();
    report(recorded);
}

void TMainForm::ToolButton2Click()
{
    const auto action = Workspace.transaction(tr("左右反転").toStdString());
    Workspace.mirror(currentView());
    Disp_FD();
}

void TMainForm::ToolButton5Click()
{
    const auto action = Workspace.transaction(tr("上下反転").toStdString());
    Workspace.flip(currentView());
    Disp_FD();
}

void TMainForm::selectPenTool()
{
    selectTool(DotTool::BlackPen, Pen);
}

void TMainForm::connectDotEditor()
{
    const auto at = [](QMouseEvent* event) { return event->position().toPoint(); };
    PaintBox1->onMouseDown = [this, at](QMouseEvent* e) { PaintBox1MouseDown(at(e).x(), at(e).y()); };
    PaintBox1->onMouseMove = [this, at](QMouseEvent* e) { PaintBox1MouseMove(at(e).x(), at(e).y()); };
    PaintBox1->onMouseUp = [this, at](QMouseEvent* e) { PaintBox1MouseUp(at(e).x(), at(e).y()); };
    connect(Pen, &QToolButton::clicked, this, &TMainForm::PenClick);
    connect(Pen2, &QToolButton::clicked, this, &TMainForm::Pen2Click);
    connect(Box, &QToolButton::clicked, this, &TMainForm::BoxClick);
    connect(Box2, &QToolButton::clicked, this, &TMainForm::Box2Click);
    connect(Box3, &QToolButton::clicked, this, &TMainForm::Box3Click);
    connect(LineTool, &QToolButton::clicked, this, &TMainForm::LineToolClick);
    connect(Moji, &QToolButton::clicked, this, &TMainForm::MojiClick);
    connect(Zooms, &QSpinBox::valueChanged, this, &TMainForm::ZoomsClick);
    connect(XReal, &QLineEdit::editingFinished, this, &TMainForm::XRealChange);
    connect(YReal, &QLineEdit::editingFinished, this, &TMainForm::YRealChange);
}

void TMainForm::followEditor(EditorAction action)
{
    if (action == EditorAction::None)
        return;
    Disp_FD();
    if (action == EditorAction::RepaintAndSend)
        FD_OUT();
}

// A stroke is one entry from press to release: the history holds it open
// while the editor drags.
std::string TMainForm::strokeName() const
{
    switch (editor_.tool()) {
    case DotTool::BlackPen:
    case DotTool::WhitePen:
        return tr("ペン").toStdString();
    case DotTool::Line:
        return tr("直線").toStdString();
    default:
        return tr("矩形").toStdString();
    }
}

// Every mouse button draws alike, so the button is not looked at.
void TMainForm::PaintBox1MouseDown(int x, int y)
{
    const auto action = Workspace.transaction(strokeName());
    followEditor(editor_.press(x, y));
}

// Hovering only tracks the cell under the pointer: no transaction, which
// would compare the whole plane at its end on every move.
void TMainForm::PaintBox1MouseMove(int x, int y)
{
    VirtualArea& plane = Workspace.document().plane;
    if (!editor_.penDrag() && !editor_.boxDrag()) {
        followEditor(editor_.move(plane, ScrollX(), ScrollY(), x, y));
        return;
    }
    const auto action = Workspace.transaction(strokeName());
    followEditor(editor_.move(plane, ScrollX(), ScrollY(), x, y));
}

void TMainForm::PaintBox1MouseUp(int, int)
{
    const auto action = Workspace.transaction(strokeName());
    followEditor(editor_.release(Workspace.document().plane, ScrollX(), ScrollY()));
}

void TMainForm::selectTool(DotTool tool, QToolButton* button)
{
    editor_.setTool(tool);
    button->setChecked(true);
}

void TMainForm::PenClick()
{
    selectTool(DotTool::BlackPen, Pen);
}

void TMainForm::Pen2Click()
{
    selectTool(DotTool::WhitePen, Pen2);
}

void TMainForm::BoxClick()
{
    selectTool(DotTool::Outline, Box);
}

void TMainForm::Box2Click()
{
    selectTool(DotTool::FillSet, Box2);
}

void TMainForm::Box3Click()
{
    selectTool(DotTool::FillClear, Box3);
}

void TMainForm::LineToolClick()
{
    selectTool(DotTool::Line, LineTool);
}

// A zoom change keeps the top-left dot; it sends and records nothing.
void TMainForm::ZoomsClick()
{
    editor_.setZoom(Zooms->value());
    CZoom->setText(QString::fromLatin1(editor_.zoomCaption().data(),
                                       static_cast<qsizetype>(editor_.zoomCaption().size())));
    Disp_FD();
}

// A typed position is taken when the field is left or Enter is pressed,
// never per keystroke: typing "40" must not move the window to 4 first
// (and record a frame there with continuous recording on). Moving the bar
// runs the window move; the field then shows where the window settled, also
// when the bar was there already. Text that is no number moves it home.
void TMainForm::typedPosition(QLineEdit* field, QScrollBar* bar)
{
    const std::string text = field->text().toStdString();
    const auto position = typedScrollPosition(text, bar->minimum(), bar->maximum());
    bar->setValue(position.value_or(0));
    field->setText(QString::number(bar->value()));
}

void TMainForm::XRealChange()
{
    typedPosition(XReal, XSc);
}

void TMainForm::YRealChange()
{
    typedPosition(YReal, YSc);
}

// The dialog stays open in the middle of the command: the stamp is one entry.
void TMainForm::MojiClick()
{
    const auto action = Workspace.transaction(tr("文字入力").toStdString());
    MojiForm->prepareToShow();
    runModal(*MojiForm);
}

// The stamp only adds dots; then the window is shown, sent and, while
// continuous recording is on, recorded.
void TMainForm::stamp(const QString& text, const QFont& font)
{
    const auto action = Workspace.transaction(tr("文字入力").toStdString());
    stampText(Workspace.document().plane, ScrollX(), ScrollY(), text, font);
    Disp_FD();
    report(Workspace.windowChanged(AutoRec->isChecked()));
}

// The save question comes first: nothing has changed yet when it is asked.
void TMainForm::New1Click()
{
    const auto action = Workspace.transaction(tr("新規").toStdString());
    if (askToSaveRecording(false) == SaveQuestion::Keep)
        return;
    Workspace.clearRecording();
    LcdText->setText(QString());
    LcdText2->setText(QString());
    RecMoji->setChecked(false);
    Workspace.clear(clearRegionFor(currentLimits()));
    Disp_FD();
    XSc->setValue(0);
    YSc->setValue(0);
    AutoRec->setChecked(false);
    selectPenTool();
}

} // namespace lumidot
