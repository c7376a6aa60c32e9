// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpWindow.h"

#include "app/Manual.h"
#include "platform/Prompts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace lumidot {

THelpWindow::THelpWindow(Desktop& desktop, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , desktop_(desktop)
{
    setWindowTitle(tr("Lumidot ヘルプ"));
    Browser = new QTextBrowser(this);
    Browser->setOpenLinks(false);
    BackButton = new QPushButton(tr("戻る(&B)"), this);
    BackButton->setEnabled(false);
    HomeButton = new QPushButton(tr("目次(&T)"), this);
    CloseButton = new QPushButton(tr("閉じる"), this);

    connect(Browser, &QTextBrowser::anchorClicked, this, &THelpWindow::BrowserAnchorClicked);
    connect(Browser, &QTextBrowser::backwardAvailable, BackButton, &QPushButton::setEnabled);
    connect(BackButton, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(HomeButton, &QPushButton::clicked, Browser, &QTextBrowser::home);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BackButton);
    buttons->addWidget(HomeButton);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    auto* column = new QVBoxLayout(this);
    column->addLayout(buttons);
    column->addWidget(Browser);
    resize(680, 640);
}

void THelpWindow::showManual(const QString& path, const QStringList& searched)
{
    if (!path.isEmpty()) {
        const QUrl manual = QUrl::fromLocalFile(path);
        if (Browser->source().adjusted(QUrl::RemoveFragment) != manual) {
            Browser->clearHistory();
            Browser->setSource(manual);
        }
    } else {
        QString text = tr("<h1>Lumidot ヘルプ</h1><p>マニュアル (%1) が見つかりません。"
                          "次のフォルダを探しました：</p><ul>")
                           .arg(manualFileName());
        for (const QString& folder : searched)
            text += QStringLiteral("<li>%1</li>").arg(folder.toHtmlEscaped());
        Browser->setHtml(text + QStringLiteral("</ul>"));
    }
    show();
    raise();
    activateWindow();
}

// Moves within the manual; anything else (the web, mail) is the desktop's.
void THelpWindow::BrowserAnchorClicked(const QUrl& url)
{
    const QUrl target = Browser->source().resolved(url);
    if (target.isLocalFile() || target.scheme().isEmpty())
        Browser->setSource(target);
    else
        desktop_.open(url.toString());
}

} // namespace lumidot
