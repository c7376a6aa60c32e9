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

struct Answer {
    CommandLineRequest request;
    std::string out;
    std::string err;
};

Answer readArguments(const QStringList& arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    CommandLineRequest request = readCommandLine(QStringList{QStringLiteral("lumidot")} + arguments, out, err);
    return {std::move(request), out.str(), err.str()};
}

TEST(CommandLine, VersionAndHelpAnswerWhateverElseIsGiven)
{
    const struct {
        QStringList args;
        std::string printed;   // what the output starts with
    } cases[] = {
        {{"--version"}, "lumidot " + kProjectVersion + "\n"},
        {{"--help"}, "Usage: lumidot [options] [FILE]\n"},
        {{"-h"}, "Usage: lumidot"},
        {{"song.mid", "--version"}, "lumidot " + kProjectVersion},
        {{"--help", "one.syx", "two.syx"}, "Usage: lumidot"},
    };
    for (const auto& c : cases) {
        const Answer answer = readArguments(c.args);
        EXPECT_EQ(answer.request.exitCode, 0) << c.args.join(' ').toStdString();
        EXPECT_EQ(answer.out.substr(0, c.printed.size()), c.printed);
        EXPECT_TRUE(answer.err.empty()) << answer.err;
    }
}

// Qt reads its own options from the same arguments once QApplication is
// made; they must pass here, and be listed by --help.
TEST(CommandLine, QtsOwnOptionsPassAndAFileIsTakenBesideThem)
{
    const Answer none = readArguments({});
    EXPECT_FALSE(none.request.exitCode);
    EXPECT_TRUE(none.request.file.isEmpty());

    const Answer file = readArguments({"-platform", "offscreen", "-style", "Fusion", "song.syx", "-reverse"});
    EXPECT_FALSE(file.request.exitCode) << file.err;
    EXPECT_EQ(file.request.file, QStringLiteral("song.syx"));
    EXPECT_EQ(readArguments({"--platform=offscreen", "名前.prt"}).request.file, QStringLiteral("名前.prt"));

    const std::string help = readArguments({"--help"}).out;
    for (const char* option : {"\n  -platform <name[:options]> ", "\n  -style <style> ", "\n  -qwindowgeometry",
                               "\n  -reverse ", "\n  --version ", "\n  -h, --help ", "[FILE]"})
        EXPECT_NE(help.find(option), std::string::npos) << option << " is missing from:\n" << help;
    EXPECT_EQ(help.find("<executable_name>"), std::string::npos) << help;
}

TEST(CommandLine, AWrongCommandLineEndsWithAnErrorAndNoWindow)
{
    for (const QStringList& args : {QStringList{"--frobnicate"}, QStringList{"a.syx", "b.syx"},
                                    QStringList{"-platform"}}) {
        const Answer answer = readArguments(args);
        EXPECT_EQ(answer.request.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(answer.out.empty());
        EXPECT_EQ(answer.err.rfind("lumidot: ", 0), 0u) << answer.err;
        EXPECT_NE(answer.err.find("--help"), std::string::npos) << answer.err;
    }
}

TEST(CommandLine, HelpSaysWhereTheManualIs)
{
    const std::string manual = findManual(manualFolders()).toStdString();
    ASSERT_FALSE(manual.empty()) << "the manual is copied beside the test program";
    const std::string help = readArguments({"--help"}).out;
    EXPECT_NE(help.find("\nmanual: " + manual + "\n"), std::string::npos) << help;
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
    EXPECT_NE(help.output.find("Usage: lumidot"), std::string::npos) << help.output;
    const CommandRun wrong = runCommand(program + " --frobnicate");
    EXPECT_EQ(wrong.exitCode, 2) << wrong.output;
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
    EXPECT_EQ(form->verinfo->verinfo->text(), QStringLiteral("version 1.13 [2000-10-14]"))
        << "the box keeps its own line whatever the release";
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
