// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a desktop program: its command-line options, its version,
// its icon, Qt's own texts in Japanese, and the manual in its help window.
#include "MainFormHarness.h"

#include "app/CommandLine.h"
#include "app/HelpWindow.h"
#include "app/Icons.h"
#include "app/Manual.h"
#include "app/QtTranslation.h"
#include "dialogs/AboutBox.h"
#include "support/RunCommand.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include <sstream>
#include <stdexcept>

namespace lumidot::testing {
namespace {

const std::string kProjectVersion = LUMIDOT_PROJECT_VERSION;

TEST(CommandLine, VersionAndHelpAnswerAndEveryOtherArgumentIsLeftAlone)
{
    struct Case {
        std::vector<std::string> args;
        std::optional<int> exit;
        std::string printed;   // what the output starts with
    };
    const std::vector<Case> cases{
        {{"--version"}, 0, "lumidot " + kProjectVersion + "\n"},
        {{"--help"}, 0, "usage: lumidot [--version | --help | FILE]\n"},
        {{"-h"}, 0, "usage: lumidot"},
        {{"song.mid", "--version"}, 0, "lumidot " + kProjectVersion},
        {{}, std::nullopt, ""},
        {{"-platform", "offscreen", "song.syx", "--frobnicate"}, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        EXPECT_EQ(answerInfoOption(c.args, out), c.exit) << ::testing::PrintToString(c.args);
        EXPECT_EQ(out.str().substr(0, c.printed.size()), c.printed);
        if (!c.exit) {
            EXPECT_TRUE(out.str().empty());
        }
    }
}

TEST(CommandLine, HelpSaysWhereTheManualIs)
{
    std::ostringstream out;
    answerInfoOption({"--help"}, out);
    const std::string manual = findManual(manualFolders()).toStdString();
    ASSERT_FALSE(manual.empty()) << "the manual is copied beside the test program";
    EXPECT_NE(out.str().find("manual: " + manual + "\n"), std::string::npos) << out.str();
}

// The real program, with no display at all and a platform that would abort
// without one: the two options must answer before any window is made.
TEST(CommandLine, TheProgramAnswersWithoutADisplay)
{
    const std::string program = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " LUMIDOT_PROGRAM;
    const CommandRun version = runCommand(program + " --version");
    EXPECT_EQ(version.exitCode, 0) << version.output;
    EXPECT_EQ(version.output, "lumidot " + kProjectVersion + "\n");
    const CommandRun help = runCommand(program + " --help");
    EXPECT_EQ(help.exitCode, 0) << help.output;
    EXPECT_NE(help.output.find("usage: lumidot"), std::string::npos) << help.output;
}

TEST(Manual, ProgramFolderIsKnownBeforeAndAfterQtStarts)
{
    EXPECT_EQ(programFolder(), QCoreApplication::applicationDirPath());
}

TEST(QtTranslation, QtsOwnButtonsSpeakJapanese)
{
    ASSERT_TRUE(loadQtTranslation(*QCoreApplication::instance()))
        << "Qt's Japanese translation qtbase_ja is missing: install qt6-translations-l10n";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

class DesktopProgramTest : public MainFormTest {
protected:
    void SetUp() override { startQuietly(); }

    THelpWindow& pressF1()
    {
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_F1);
        if (!form->HelpWindow)
            throw std::runtime_error("F1 made no help window");
        return *form->HelpWindow;
    }
};

TEST_F(DesktopProgramTest, AboutBoxAndWindowIconComeFromTheBuild)
{
    EXPECT_EQ(form->verinfo->verinfo->text().toStdString(),
              "version " + kProjectVersion + " [" LUMIDOT_RELEASE_DATE "]");
    const QIcon icon = form->windowIcon();
    ASSERT_FALSE(icon.isNull()) << "the icon resource must be linked into the program";
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)));
    EXPECT_EQ(icon.pixmap(48).toImage(), QImage(QStringLiteral(LUMIDOT_ICON_48)).convertToFormat(
                                             icon.pixmap(48).toImage().format()));
}

TEST_F(DesktopProgramTest, F1ShowsTheManualInItsOwnWindowAndLinksMoveWithinIt)
{
    THelpWindow& help = pressF1();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Lumidot ヘルプ"));
    EXPECT_EQ(help.Browser->source(), QUrl::fromLocalFile(findManual(manualFolders())));
    EXPECT_TRUE(help.Browser->toPlainText().contains(QStringLiteral("困ったとき")));

    help.BrowserAnchorClicked(QUrl(QStringLiteral("#troubleshooting")));
    EXPECT_EQ(help.Browser->source().fragment(), "troubleshooting");
    EXPECT_TRUE(help.BackButton->isEnabled());
    help.BrowserAnchorClicked(QUrl(QStringLiteral("https://lumidot.example.org/")));
    EXPECT_EQ(desktop.opened, QStringList{"https://lumidot.example.org/"});
    EXPECT_EQ(help.Browser->source().fragment(), "troubleshooting");

    help.close();
    THelpWindow& again = pressF1();
    EXPECT_EQ(&again, &help);
    EXPECT_TRUE(again.isVisible());
}

TEST_F(DesktopProgramTest, AMissingManualIsExplainedWithTheFoldersSearched)
{
    THelpWindow help(desktop);
    help.showManual(QString(), {QStringLiteral("/nowhere/a"), QStringLiteral("/nowhere/b")});
    const QString text = help.Browser->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("見つかりません")));
    EXPECT_TRUE(text.contains(QStringLiteral("/nowhere/a")) && text.contains(QStringLiteral("/nowhere/b")));
}

QString manualText()
{
    QFile file(findManual(manualFolders()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "the manual is copied beside the test program";
    return QString::fromUtf8(file.readAll());
}

TEST(Manual, EveryLinkWithinTheManualHasItsSection)
{
    const QString html = manualText();
    QSet<QString> ids;
    for (const auto& m : QRegularExpression(QStringLiteral("id=\"([^\"]+)\"")).globalMatch(html))
        ids.insert(m.captured(1));
    for (const char* section : {"troubleshooting", "virtual-port", "shortcuts", "formats", "cable"})
        EXPECT_TRUE(ids.contains(QString::fromLatin1(section))) << section;
    for (const auto& m : QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html))
        EXPECT_TRUE(ids.contains(m.captured(1))) << "no section for the link #" << m.captured(1).toStdString();
}

TEST_F(DesktopProgramTest, EveryShortcutOfTheMenusIsInTheManualsTable)
{
    const QString html = manualText();
    const qsizetype start = html.indexOf(QStringLiteral("id=\"shortcuts\""));
    ASSERT_GE(start, 0);
    QTextDocument table;
    table.setHtml(html.mid(start, html.indexOf(QStringLiteral("<h2"), start) - start));
    const QString listed = table.toPlainText();
    for (QAction* action : form->findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            const QString name = key.toString(QKeySequence::PortableText);
            EXPECT_TRUE(listed.contains(name))
                << name.toStdString() << " (" << action->text().toStdString()
                << ") is missing from the shortcut table of src/app/lumidot.html";
        }
    }
}

} // namespace
} // namespace lumidot::testing
