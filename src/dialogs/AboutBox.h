// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace lumidot {

class Desktop;

inline constexpr const char* kHomePage = "https://lumidot.example.org/";
inline constexpr const char* kMailAddress = "lumidot@example.org";

// "バージョン情報": the version, the home page and the mail address.
class Tverinfo : public QDialog {
    Q_OBJECT

public:
    explicit Tverinfo(Desktop& desktop, QWidget* parent = nullptr);

    QFrame* Panel4 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* verinfo = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Button1 = nullptr;

public slots:
    void Label2Click();
    void Label5Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Desktop& desktop_;
};

// "version 1.13 [2000-10-14]": the box's own fixed line, which stays as it
// is whatever the release (--version and the package say that).
QString versionText();

// The pictures of the box: the emblem (50 x 50) and the title (210 x 32).
QPixmap aboutEmblem();
QPixmap aboutTitle();

} // namespace lumidot
