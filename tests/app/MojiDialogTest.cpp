// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/MojiDialog.h"

#include "widgets/TextStamp.h"
#include "platform/Prompts.h"

#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace lumidot {
namespace {

class ScriptedPrompts : public Prompts {
public:
    std::optional<QFont> fontAnswer; // empty: the font dialog is cancelled
    int fontDialogs = 0;

    void information(const QString&) override {}
    Answer askYesNoCancel(const QString&) override { return Answer::Cancel; }
    bool askYesNo(const QString&) override { return false; }
    bool saveFile(const QString&, FileChoice&) override { return false; }
    bool openFile(const QString&, FileChoice&) override { return false; }
    bool chooseFont(QFont& font) override
    {
        ++fontDialogs;
        if (!fontAnswer)
            return false;
        font = *fontAnswer;
        return true;
    }
};

struct Stamp {
    QString text;
    QFont font;
};

class MojiDialogTest : public ::testing::Test {
protected:
    QFont stampFont = defaultStampFont();
    ScriptedPrompts prompts;
    std::vector<Stamp> stamps;
    TMoji moji{stampFont, prompts, [this](const QString& text, const QFont& font) {
                   stamps.push_back({text, font});
               }};
};

TEST_F(MojiDialogTest, ShowsItsCaptionsHintsAndFixedSize)
{
    EXPECT_EQ(moji.windowTitle(), QStringLiteral("文字入力"));
    EXPECT_EQ(moji.size(), QSize(323, 26));
    EXPECT_EQ(moji.minimumSize(), moji.maximumSize());
    EXPECT_EQ(moji.GKanji()->toolTip(), QStringLiteral("半角英数20文字まで"));
    EXPECT_EQ(moji.BitBtn1()->text(), QStringLiteral("OK"));
    EXPECT_EQ(moji.BitBtn1()->toolTip(), QStringLiteral("入力に書いた文字をキャンバスへ転送します"));
    EXPECT_EQ(moji.Button1()->text(), QStringLiteral("Cancel"));
    for (QWidget* w : {static_cast<QWidget*>(moji.GKanji()), static_cast<QWidget*>(moji.BitBtn1()),
                       static_cast<QWidget*>(moji.Button1()), static_cast<QWidget*>(moji.SpeedButton1())})
        EXPECT_TRUE(moji.rect().contains(w->geometry())) << w->objectName().toStdString();
}

TEST_F(MojiDialogTest, EditShowsTheStampingFaceAtSeventeenPixelsBoldItalic)
{
    const QFont font = moji.GKanji()->font();
    EXPECT_EQ(font.family(), stampFont.family());
    EXPECT_EQ(font.pixelSize(), 17);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
}

TEST_F(MojiDialogTest, EditHoldsAtMostTwentyShiftJisBytes)
{
    QLineEdit* edit = moji.GKanji();
    QTest::keyClicks(edit, QString(25, QLatin1Char('a')));
    EXPECT_EQ(edit->text(), QString(20, QLatin1Char('a')));

    edit->clear();
    edit->insert(QStringLiteral("一二三四五六七八九十百千"));
    EXPECT_EQ(edit->text(), QStringLiteral("一二三四五六七八九十"));

    edit->clear();
    edit->insert(QStringLiteral("ab一二三四五六七八九十"));
    EXPECT_EQ(edit->text(), QStringLiteral("ab一二三四五六七八九"));
    EXPECT_EQ(shiftJisByteLength(edit->text()), 20);

    edit->setCursorPosition(0);
    edit->insert(QStringLiteral("x"));
    EXPECT_EQ(edit->text(), QStringLiteral("ab一二三四五六七八九"));

    edit->setCursorPosition(2);
    edit->backspace();
    edit->insert(QStringLiteral("XYZ"));
    EXPECT_EQ(edit->text(), QStringLiteral("aX一二三四五六七八九"));
}

TEST_F(MojiDialogTest, OkStampsTheTextInTheStampingFontAndAccepts)
{
    moji.GKanji()->setText(QStringLiteral("Hello"));
    moji.BitBtn1()->click();
    ASSERT_EQ(stamps.size(), 1u);
    EXPECT_EQ(stamps[0].text, QStringLiteral("Hello"));
    EXPECT_EQ(stamps[0].font, stampFont);
    EXPECT_EQ(moji.result(), QDialog::Accepted);

    // The dialog is built once: the text waits for the next opening.
    moji.prepareToShow();
    EXPECT_EQ(moji.GKanji()->text(), QStringLiteral("Hello"));
}

TEST_F(MojiDialogTest, EmptyTextStillGoesToTheWindow)
{
    moji.BitBtn1()->click();
    ASSERT_EQ(stamps.size(), 1u);
    EXPECT_TRUE(stamps[0].text.isEmpty());
}

TEST_F(MojiDialogTest, CancelStampsNothing)
{
    moji.GKanji()->setText(QStringLiteral("Hello"));
    moji.Button1()->click();
    EXPECT_TRUE(stamps.empty());
    EXPECT_EQ(moji.result(), QDialog::Rejected);
}

TEST_F(MojiDialogTest, EnterInTheEditIsOk)
{
    moji.show();
    moji.GKanji()->setText(QStringLiteral("abc"));
    QTest::keyClick(moji.GKanji(), Qt::Key_Return);
    ASSERT_EQ(stamps.size(), 1u);
    EXPECT_EQ(stamps[0].text, QStringLiteral("abc"));
}

TEST_F(MojiDialogTest, FontButtonReplacesTheStampingFontAndTheEditFollowsAtTheNextOpening)
{
    QFont chosen(QStringLiteral("IPAGothic"));
    chosen.setPointSize(12);
    prompts.fontAnswer = chosen;
    moji.SpeedButton1()->click();
    EXPECT_EQ(prompts.fontDialogs, 1);
    EXPECT_EQ(stampFont, chosen);
    EXPECT_EQ(moji.GKanji()->font().family(), QStringLiteral("ＭＳ Ｐ明朝"));

    moji.prepareToShow();
    EXPECT_EQ(moji.GKanji()->font().family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(moji.GKanji()->font().pixelSize(), 17);

    moji.BitBtn1()->click();
    EXPECT_EQ(stamps.at(0).font, chosen);
}

TEST_F(MojiDialogTest, CancelledFontChoiceKeepsTheFont)
{
    moji.SpeedButton1()->click();
    EXPECT_EQ(prompts.fontDialogs, 1);
    EXPECT_EQ(stampFont, defaultStampFont());
}

} // namespace
} // namespace lumidot
