// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AboutBox.h"

#include "platform/Prompts.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumidot {

namespace {

QLabel* linkLabel(const QString& text, const QString& hint, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setToolTip(hint);
    label->setCursor(Qt::PointingHandCursor);
    label->setStyleSheet(QStringLiteral("color: blue"));
    return label;
}

QFont boldFont(QFont font)
{
    font.setBold(true);
    return font;
}

} // namespace

QString versionText()
{
    return QStringLiteral("version 1.13 [2000-10-14]");
}

QPixmap aboutEmblem()
{
    // A 7 x 7 dot-matrix "L" lit on a green backlight.
    QPixmap pixmap(50, 50);
    pixmap.fill(QColor(0, 255, 0));
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, 49, 49);
    constexpr const char* rows[7] = {"1000000", "1000000", "1000000", "1000000",
                                     "1000000", "1000000", "1111111"};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            p.fillRect(4 + x * 6, 4 + y * 6, 5, 5,
                       rows[y][x] == '1' ? QColor(Qt::black) : QColor(0, 200, 0));
    return pixmap;
}

QPixmap aboutTitle()
{
    QPixmap pixmap(210, 32);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    QFont font("DejaVu Sans");
    font.setPixelSize(26);
    font.setBold(true);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(QColor(0, 120, 0));
    p.drawText(QRect(0, 0, 210, 32), Qt::AlignCenter, QStringLiteral("Lumidot"));
    return pixmap;
}

Tverinfo::Tverinfo(Desktop& desktop, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , desktop_(desktop)
{
    setWindowTitle(tr("バージョン情報"));

    Panel4 = new QFrame(this);
    Panel4->setFrameShape(QFrame::Panel);
    Panel4->setFrameShadow(QFrame::Raised);
    Panel4->setAutoFillBackground(true);
    QPalette white = Panel4->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel4->setPalette(white);

    Image2 = new QLabel(Panel4);
    Image2->setFixedSize(50, 50);
    Image2->setScaledContents(true);
    Image2->setPixmap(aboutEmblem());
    Image1 = new QLabel(Panel4);
    Image1->setFixedSize(210, 32);
    Image1->setScaledContents(true);
    Image1->setPixmap(aboutTitle());
    verinfo = new QLabel(Panel4);
    verinfo->setFont(boldFont(verinfo->font()));
    verinfo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    verinfo->setText(versionText());

    auto* panel = new QGridLayout(Panel4);
    panel->addWidget(Image2, 0, 0, 2, 1);
    panel->addWidget(Image1, 0, 1);
    panel->addWidget(verinfo, 1, 1);

    Label1 = new QLabel(tr("NS5R の液晶とエフェクトをSysExで描くエディタ"), this);
    Label1->setFont(boldFont(Label1->font()));
    Label2 = linkLabel(QStringLiteral("URL=") + QString::fromLatin1(kHomePage),
                       tr("ホームページへジャンプ！"), this);
    Label5 = linkLabel(QStringLiteral("Email ") + QString::fromLatin1(kMailAddress),
                       tr("感想よろしくね！"), this);
    Label2->installEventFilter(this);
    Label5->installEventFilter(this);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    auto* column = new QVBoxLayout(this);
    column->addWidget(Panel4);
    column->addWidget(Label1);
    column->addWidget(Label2);
    column->addWidget(Label5);
    column->addWidget(Button1, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}

void Tverinfo::Label2Click()
{
    desktop_.open(QString::fromLatin1(kHomePage));
}

void Tverinfo::Label5Click()
{
    desktop_.open(QStringLiteral("Mailto:") + QString::fromLatin1(kMailAddress)
                  + QStringLiteral("?subject=") + tr("Lumidotについて") + QStringLiteral("&cc=&bcc="));
}

// A link shows red while the button is held on it; releasing over the link
// opens it, releasing elsewhere only turns it blue again.
bool Tverinfo::eventFilter(QObject* watched, QEvent* event)
{
    auto* label = qobject_cast<QLabel*>(watched);
    if (label != Label2 && label != Label5)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        label->setStyleSheet(QStringLiteral("color: red"));
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        label->setStyleSheet(QStringLiteral("color: blue"));
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (label->rect().contains(mouse->position().toPoint()))
            label == Label2 ? Label2Click() : Label5Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lumidot
