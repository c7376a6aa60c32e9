// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ConfigDialog.h"

#include "midi/MidiOutput.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace lumidot {

namespace {

constexpr ScrollLimits kDefaultLimits{};

QSpinBox* upDown(int low, int high, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(low, high);
    spin->setWrapping(false);
    // Typed digits count once the entry is finished, not at each keystroke.
    spin->setKeyboardTracking(false);
    spin->setAlignment(Qt::AlignRight);
    spin->setMinimumWidth(72);
    return spin;
}

QLabel* captionLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(QCoreApplication::translate("lumidot::TFConfig", "クリックで初期値に戻します"));
    return label;
}

void setQuietly(QSpinBox* spin, int value)
{
    const QSignalBlocker block(spin);
    spin->setValue(value);
}

} // namespace

ScrollLimits limitsInDialogRanges(const ScrollLimits& limits)
{
    return {std::clamp(limits.xMin, kXMinLow, kXMinHigh), std::clamp(limits.xMax, kXMaxLow, kXMaxHigh),
            std::clamp(limits.yMin, kYMinLow, kYMinHigh), std::clamp(limits.yMax, kYMaxLow, kYMaxHigh)};
}

TFConfig::TFConfig(QScrollBar& xSc, QScrollBar& ySc, Settings& settings, MidiOutput& output,
                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , xSc_(xSc)
    , ySc_(ySc)
    , settings_(settings)
    , output_(output)
{
    setWindowTitle(tr("各種設定"));
    buildControls();
    FormCreate();
    connect(X_Min, &QSpinBox::valueChanged, this, &TFConfig::X_MinClick);
    connect(X_Max, &QSpinBox::valueChanged, this, &TFConfig::X_MaxClick);
    connect(Y_Min, &QSpinBox::valueChanged, this, &TFConfig::Y_MinClick);
    connect(Y_Max, &QSpinBox::valueChanged, this, &TFConfig::Y_MaxClick);
    connect(tick, &QSpinBox::valueChanged, this, &TFConfig::tickClick);
    connect(R_Normal, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            R_NormalClick();
    });
    connect(R_Koma, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            R_KomaClick();
    });
    connect(PaceLive, &QCheckBox::toggled, this, [this](bool on) { settings_.paceLive = on; });
    connect(UI_Lang, &QComboBox::currentIndexChanged, this, &TFConfig::UI_LangChange);
    setFixedSize(sizeHint());
}

void TFConfig::buildControls()
{
    auto* portGroup = new QGroupBox(QStringLiteral("MIDI OUT DEVICE"), this);
    MIDI_Out = new QComboBox(portGroup);
    MIDI_Out->setMinimumWidth(240);
    (new QVBoxLayout(portGroup))->addWidget(MIDI_Out);

    auto* areaGroup = new QGroupBox(tr("仮想領域設定"), this);
    auto* area = new QGridLayout(areaGroup);
    Label1 = captionLabel(QStringLiteral("X(Min)"), areaGroup);
    Label5 = captionLabel(QStringLiteral("X(Max)"), areaGroup);
    Label3 = captionLabel(QStringLiteral("Y(Min)"), areaGroup);
    Label4 = captionLabel(QStringLiteral("Y(Max)"), areaGroup);
    X_Min = upDown(kXMinLow, kXMinHigh, areaGroup);
    X_Max = upDown(kXMaxLow, kXMaxHigh, areaGroup);
    Y_Min = upDown(kYMinLow, kYMinHigh, areaGroup);
    Y_Max = upDown(kYMaxLow, kYMaxHigh, areaGroup);
    area->addWidget(Label1, 0, 0);
    area->addWidget(X_Min, 0, 1);
    area->addWidget(Label5, 0, 2);
    area->addWidget(X_Max, 0, 3);
    area->addWidget(Label3, 1, 0);
    area->addWidget(Y_Min, 1, 1);
    area->addWidget(Label4, 1, 2);
    area->addWidget(Y_Max, 1, 3);
    for (QLabel* label : {Label1, Label5, Label3, Label4})
        label->installEventFilter(this);

    auto* tickGroup = new QGroupBox(tr("Ｔｉｃｋ"), this);
    tick = upDown(kTickLow, kTickHigh, tickGroup);
    tick->setSuffix(QStringLiteral(" Tick"));
    (new QVBoxLayout(tickGroup))->addWidget(tick);

    auto* modeGroup = new QGroupBox(tr("スクロールモード"), this);
    R_Normal = new QRadioButton(tr("通常"), modeGroup);
    R_Normal->setToolTip(tr("上下１ドットずつ動作します。"));
    R_Koma = new QRadioButton(tr("コマモード"), modeGroup);
    R_Koma->setToolTip(tr("上下１画面ずつ動作します。"));
    R_Normal->setChecked(true);
    auto* mode = new QVBoxLayout(modeGroup);
    mode->addWidget(R_Normal);
    mode->addWidget(R_Koma);

    PaceLive = new QCheckBox(tr("MIDIケーブルの速度に合わせて送る"), this);
    PaceLive->setChecked(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(portGroup, 0, 0, 1, 2);
    grid->addWidget(areaGroup, 1, 0, 1, 2);
    grid->addWidget(tickGroup, 2, 0);
    grid->addWidget(modeGroup, 2, 1);
    grid->addWidget(PaceLive, 3, 0, 1, 2);
    grid->addWidget(buildLanguageGroup(), 4, 0, 1, 2);
}

// The windows take their texts when they are made, so a new language
// speaks from the next start on; the dialog says so beside the choice.
QWidget* TFConfig::buildLanguageGroup()
{
    auto* group = new QGroupBox(tr("表示言語"), this);
    UI_Lang = new QComboBox(group);
    // Each language by its own name, so that it is found whatever the
    // interface speaks now.
    UI_Lang->addItem(QStringLiteral("日本語"), static_cast<int>(UiLanguage::Japanese));
    UI_Lang->addItem(QStringLiteral("English"), static_cast<int>(UiLanguage::English));
    UI_Lang->addItem(tr("システムの言語"), static_cast<int>(UiLanguage::System));
    auto* note = new QLabel(tr("次回の起動から切り替わります。"), group);
    auto* row = new QHBoxLayout(group);
    row->addWidget(UI_Lang);
    row->addWidget(note, 1);
    return group;
}

// Fills the controls from the main window's scroll bars and settings.
void TFConfig::FormCreate()
{
    fillPortList();

    setQuietly(X_Min, xSc_.minimum());
    setQuietly(Y_Min, ySc_.minimum());
    setQuietly(X_Max, xSc_.maximum());
    setQuietly(Y_Max, ySc_.maximum());
    if (xSc_.singleStep() != 1) {
        const QSignalBlocker block(R_Koma);
        R_Koma->setChecked(true);
        setIncrements(kFrameStepX, kFrameStepY);
    }
    setQuietly(tick, settings_.stepTick);
    PaceLive->setChecked(settings_.paceLive);
    const QSignalBlocker quiet(UI_Lang);
    UI_Lang->setCurrentIndex(UI_Lang->findData(static_cast<int>(settings_.uiLanguage)));
}

void TFConfig::fillPortList()
{
    MIDI_Out->clear();
    deviceCount_ = std::max(0, output_.deviceCount());
    MIDI_Out->addItem(QString::fromLatin1(kMapperName));
    for (int id = 0; id < deviceCount_; ++id)
        MIDI_Out->addItem(QString::fromStdString(output_.deviceName(id)));
    selectChosenPort();
}

void TFConfig::selectChosenPort()
{
    const int entry = settings_.midiOutIndex < MIDI_Out->count() ? settings_.midiOutIndex : -1;
    const QString chosen = QString::fromStdString(settings_.midiOutName);
    if (chosen.isEmpty() || portName(entry) == chosen)
        MIDI_Out->setCurrentIndex(entry);
    else
        MIDI_Out->setCurrentIndex(entryNamed(chosen));
}

int TFConfig::entryNamed(const QString& name) const
{
    return static_cast<int>(MIDI_Out->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

QString TFConfig::portName(int index) const
{
    if (index < 0 || index >= MIDI_Out->count())
        return {};
    return MIDI_Out->itemText(index);
}

void TFConfig::setIncrements(int x, int y)
{
    X_Min->setSingleStep(x);
    X_Max->setSingleStep(x);
    Y_Min->setSingleStep(y);
    Y_Max->setSingleStep(y);
}

void TFConfig::X_MinClick(int position)
{
    xSc_.setMinimum(position);
}

void TFConfig::X_MaxClick(int position)
{
    xSc_.setMaximum(position);
}

void TFConfig::Y_MinClick(int position)
{
    ySc_.setMinimum(position);
}

void TFConfig::Y_MaxClick(int position)
{
    ySc_.setMaximum(position);
}

void TFConfig::Label1Click()
{
    X_Min->setValue(kDefaultLimits.xMin);
    xSc_.setMinimum(kDefaultLimits.xMin);
}

void TFConfig::Label5Click()
{
    X_Max->setValue(kDefaultLimits.xMax);
    xSc_.setMaximum(kDefaultLimits.xMax);
}

void TFConfig::Label3Click()
{
    Y_Min->setValue(kDefaultLimits.yMin);
    ySc_.setMinimum(kDefaultLimits.yMin);
}

void TFConfig::Label4Click()
{
    Y_Max->setValue(kDefaultLimits.yMax);
    ySc_.setMaximum(kDefaultLimits.yMax);
}

void TFConfig::R_NormalClick()
{
    xSc_.setSingleStep(1);
    ySc_.setSingleStep(1);
    setIncrements(1, 1);
}

void TFConfig::R_KomaClick()
{
    xSc_.setSingleStep(kFrameStepX);
    ySc_.setSingleStep(kFrameStepY);
    setIncrements(kFrameStepX, kFrameStepY);
}

void TFConfig::tickClick(int position)
{
    settings_.stepTick = static_cast<std::uint8_t>(position);
}

void TFConfig::UI_LangChange(int index)
{
    settings_.uiLanguage = static_cast<UiLanguage>(UI_Lang->itemData(index).toInt());
}

bool TFConfig::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label1)
            Label1Click();
        else if (watched == Label5)
            Label5Click();
        else if (watched == Label3)
            Label3Click();
        else if (watched == Label4)
            Label4Click();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lumidot
