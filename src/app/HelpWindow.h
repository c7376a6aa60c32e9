// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>

class QPushButton;
class QTextBrowser;
class QUrl;

namespace lumidot {

class Desktop;

// "Lumidot ヘルプ": the manual, read inside the program. Links within the
// manual move in this window; web and mail links go to the desktop.
class THelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit THelpWindow(Desktop& desktop, QWidget* parent = nullptr);

    // Shows the manual at `path`, or, when it is empty, says where it was
    // looked for; then brings the window to the front.
    void showManual(const QString& path, const QStringList& searched);

    QTextBrowser* Browser = nullptr;
    QPushButton* BackButton = nullptr;
    QPushButton* HomeButton = nullptr;
    QPushButton* CloseButton = nullptr;

public slots:
    void BrowserAnchorClicked(const QUrl& url);

private:
    Desktop& desktop_;
};

} // namespace lumidot
