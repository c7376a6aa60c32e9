// SPDX-License-Identifier: GPL-3.0-or-later
// "表示言語": the stored choice, the translators it installs, and what
// speaks which language (Qt's own texts, the program's, the manual).
#include "MainFormHarness.h"
#include "TranslationHarness.h"

#include "app/HelpWindow.h"
#include "app/MonitorWindow.h"
#include "app/StepListWindow.h"
#include "app/Manual.h"
#include "dialogs/AboutBox.h"
#include "dialogs/ConfigDialog.h"
#include "dialogs/InformationWindow.h"
#include "dialogs/MojiDialog.h"
#include "export/OpenCommand.h"
#include "platform/images/ImageFrames.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLocale>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextBrowser>
#include <QLabel>
#include <QAction>

#include <algorithm>
#include <string>
#include <vector>

namespace lumidot::testing {
namespace {

TEST(InterfaceLanguage, TheSystemsLanguageIsJapaneseOnlyForAJapaneseLocale)
{
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(interfaceLanguage(UiLanguage::System, japanese), Language::Japanese);
    EXPECT_EQ(interfaceLanguage(UiLanguage::System, english), Language::English);
    EXPECT_EQ(interfaceLanguage(UiLanguage::System, german), Language::English);
    EXPECT_EQ(interfaceLanguage(UiLanguage::System, QLocale::c()), Language::English);
    // A choice of its own stands whatever the locale.
    EXPECT_EQ(interfaceLanguage(UiLanguage::Japanese, german), Language::Japanese);
    EXPECT_EQ(interfaceLanguage(UiLanguage::English, japanese), Language::English);
}

// Each language counts the largest picture in a unit of its own: 2400 万
// in Japanese, 24 million in English, never the one number in both.
TEST(InterfaceLanguage, TheLargestPictureIsCountedInTheLanguagesOwnUnit)
{
    ImageReadError error;
    error.fileName = QStringLiteral("big.png");
    error.reason = QStringLiteral("why");
    error.kind = ImageReadError::Kind::TooLarge;
    EXPECT_EQ(error.message(), QStringLiteral("画像 big.png は大きすぎるため読み込めません (2400 万ピクセルまで)\nwhy"));
    ScopedTranslations english(Language::English);
    ASSERT_TRUE(english.installed);
    EXPECT_EQ(error.message(), QStringLiteral("The picture big.png is too large to read (24 million pixels at most)\nwhy"));
}

// A document's refusal names the part and the place in it in the
// language's own order; without a part, the place stands alone.
TEST(InterfaceLanguage, ADocumentsRefusalNamesThePartInEitherLanguage)
{
    LoadResult refused;
    refused.fault = ReadFault::BadEntry;
    refused.entry = "steps.mid";
    refused.offset = 12;
    LoadResult whole;
    whole.fault = ReadFault::DamagedArchive;
    whole.offset = 12;
    EXPECT_EQ(TMainForm::refusalText(refused),
              QStringLiteral("ファイルを読み込めません: ドキュメントの steps.mid が壊れています (steps.mid の先頭から 12 バイトの位置)"));
    EXPECT_EQ(TMainForm::refusalText(whole),
              QStringLiteral("ファイルを読み込めません: ファイルが壊れています (ZIP アーカイブとして読めません) (先頭から 12 バイトの位置)"));
    ScopedTranslations english(Language::English);
    ASSERT_TRUE(english.installed);
    EXPECT_EQ(TMainForm::refusalText(refused),
              QStringLiteral("Cannot read the file: the document's steps.mid is damaged (byte 12 from the start of steps.mid)"));
    EXPECT_EQ(TMainForm::refusalText(whole),
              QStringLiteral("Cannot read the file: the file is damaged (it cannot be read as a ZIP archive) (byte 12 from the start)"));
}

QString yesButtonText()
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text();
}

QString languageGroupTitle(const TFConfig& dialog)
{
    return dialog.UI_Lang->parentWidget()->property("title").toString();
}

class LanguageTest : public MainFormTest {};

// Qt's own texts follow the chosen language, not whatever was loaded first:
// English leaves Qt's English alone and brings the program's translation.
TEST_F(LanguageTest, EachLanguageBringsItsOwnTranslators)
{
    {
        ScopedTranslations english(Language::English);
        ASSERT_TRUE(english.installed) << "lumidot_en.qm was not built into " LUMIDOT_BUILT_TRANSLATIONS;
        EXPECT_EQ(yesButtonText(), QStringLiteral("&Yes"));
        start();
        EXPECT_EQ(languageGroupTitle(*form->FConfig), QStringLiteral("Language"));
        EXPECT_EQ(manualFileName(), QStringLiteral("lumidot_en.html"));
    }
    {
        ScopedTranslations japanese(Language::Japanese);
        ASSERT_TRUE(japanese.installed) << "install qt6-translations-l10n";
        EXPECT_EQ(yesButtonText(), QStringLiteral("はい(&Y)"));
        TFConfig dialog(*form->XSc, *form->YSc, form->settings(), midi);
        EXPECT_EQ(languageGroupTitle(dialog), QStringLiteral("表示言語"));
        EXPECT_EQ(manualFileName(), QStringLiteral("lumidot.html"));
    }
}

TEST_F(LanguageTest, AMissingTranslationLeavesTheJapaneseTexts)
{
    QTemporaryDir empty;
    ScopedTranslations english(Language::English, {empty.path()});
    EXPECT_FALSE(english.installed);
    start();
    EXPECT_EQ(languageGroupTitle(*form->FConfig), QStringLiteral("表示言語"));
}

TEST_F(LanguageTest, TheDialogShowsTheStoredChoiceAndStoresANewOneAfterTheOthers)
{
    startQuietly();
    TFConfig& dialog = *form->FConfig;
    EXPECT_EQ(dialog.UI_Lang->currentText(), QStringLiteral("日本語")) << "the default, with no UI_LANG";
    EXPECT_EQ(dialog.UI_Lang->count(), 3);
    const QStringList texts = [&] {
        QStringList all;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            all << label->text();
        return all;
    }();
    EXPECT_TRUE(texts.join('|').contains(QStringLiteral("次回の起動"))) << "the dialog says when it takes effect";

    duringModal = [&](QDialog&) { dialog.UI_Lang->setCurrentText(QStringLiteral("English")); };
    form->MIDIPortM1->trigger();
    EXPECT_EQ(form->settings().uiLanguage, UiLanguage::English);
    EXPECT_EQ(store.bytes("UI_LANG"), bytes({'e', 'n'}));
    ASSERT_GE(store.writes.size(), 3u);
    EXPECT_EQ(store.writes.back(), "UI_LANG") << "after the other values";
    const std::vector<std::string> before(store.writes.begin(), store.writes.end() - 1);
    for (const char* other : {"MIDI_OUT_NAME", "PACE_LIVE"})
        EXPECT_NE(std::find(before.begin(), before.end(), other), before.end()) << other << " is written before";

    // The next start shows the stored choice.
    start();
    EXPECT_EQ(form->settings().uiLanguage, UiLanguage::English);
    EXPECT_EQ(form->FConfig->UI_Lang->currentText(), QStringLiteral("English"));
}

TEST_F(LanguageTest, AFailedWriteOfTheLanguageIsShown)
{
    store.failingWrites.insert("UI_LANG");
    startQuietly();
    duringModal = [this](QDialog&) { form->FConfig->UI_Lang->setCurrentIndex(2); };
    form->MIDIPortM1->trigger();
    EXPECT_EQ(prompts.shown, QStringList{QStringLiteral("'UI_LANG' の設定に失敗しました")});
}

TEST_F(LanguageTest, F1OpensTheManualInTheLanguageOfTheInterface)
{
    const auto manualShown = [this] {
        form->H1Click();
        return QFileInfo(form->HelpWindow->Browser->source().toLocalFile()).fileName();
    };
    startQuietly();
    EXPECT_EQ(manualShown(), QStringLiteral("lumidot.html"));
    {
        ScopedTranslations english(Language::English);
        startQuietly();
        EXPECT_EQ(manualShown(), QStringLiteral("lumidot_en.html"));
        EXPECT_TRUE(form->HelpWindow->Browser->toPlainText().contains(QStringLiteral("Troubleshooting")));
    }
}

// Every text the window, its pages and its secondary windows show: titles,
// menus and their items, buttons, labels, group boxes, tabs and hints.
QStringList textsShownBy(const QList<QWidget*>& windows)
{
    QStringList texts;
    for (QWidget* window : windows) {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets << window;
        for (QWidget* widget : widgets) {
            texts << widget->windowTitle() << widget->toolTip();
            if (auto* button = qobject_cast<QAbstractButton*>(widget))
                texts << button->text();
            if (auto* label = qobject_cast<QLabel*>(widget))
                texts << label->text();
            if (auto* group = qobject_cast<QGroupBox*>(widget))
                texts << group->title();
            if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
                for (int i = 0; i < tabs->count(); ++i)
                    texts << tabs->tabText(i);
            }
            for (QAction* action : widget->actions())
                texts << action->text() << action->toolTip();
        }
    }
    texts.removeAll(QString());
    return texts;
}

QStringList menuTitles(const TMainForm& form)
{
    QStringList titles;
    for (QAction* menu : form.menuBar()->actions())
        titles << menu->text();
    return titles;
}

TEST_F(LanguageTest, InEnglishTheWindowsShowNoJapaneseText)
{
    ScopedTranslations english(Language::English);
    ASSERT_TRUE(english.installed);
    startQuietly();
    form->H1Click();
    EXPECT_EQ(menuTitles(*form), (QStringList{"&File", "&Edit", "&View", "&Help"}));
    QStringList view;
    for (QAction* item : form->ViewMenu->actions())
        view << item->text();
    EXPECT_TRUE(view.contains(QStringLiteral("&Monitor"))) << view.join('|').toStdString();
    EXPECT_TRUE(view.contains(QStringLiteral("Step &list"))) << view.join('|').toStdString();
    EXPECT_EQ(form->Monitor->windowTitle(), QStringLiteral("Monitor"));
    EXPECT_EQ(form->StepList->windowTitle(), QStringLiteral("Step list"));
    EXPECT_EQ(form->HelpWindow->windowTitle(), QStringLiteral("Lumidot Help"));
    form->ToolButton1Click();
    EXPECT_EQ(form->Undo1->text(), QStringLiteral("&Undo Invert")) << "the action's name in English too";

    // The language's own name in its list is no interface text.
    const QRegularExpression japanese(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF01}-\\x{FF5E}]"));
    QStringList left;
    for (const QString& text : textsShownBy(QList<QWidget*>{form.get(), form->Monitor, form->StepList, form->HelpWindow,
                                             form->FConfig, form->Information, form->MojiForm, form->verinfo})) {
        if (text.contains(japanese) && text != QStringLiteral("日本語"))
            left << text;
    }
    EXPECT_TRUE(left.isEmpty()) << "Japanese in the English interface:\n  " << left.join("\n  ").toStdString();
}

// With no "UI_LANG" value and no translation installed, the menus and the
// windows keep their Japanese texts.
TEST_F(LanguageTest, WithoutAChoiceTheInterfaceStaysJapanese)
{
    startQuietly();
    EXPECT_EQ(form->settings().uiLanguage, UiLanguage::Japanese);
    EXPECT_EQ(menuTitles(*form),
              (QStringList{"ファイル(&F)", "編集(&E)", "表示(&O)", "ヘルプ(&H)"}));
    EXPECT_EQ(form->Monitor->windowTitle(), QStringLiteral("モニター"));
    EXPECT_EQ(form->StepList->windowTitle(), QStringLiteral("ステップ一覧"));
    EXPECT_EQ(form->SpeedButton1->text(), QStringLiteral("記録"));
    form->ToolButton1Click();
    EXPECT_EQ(form->Undo1->text(), QStringLiteral("元に戻す(&U) ドット反転"));
}

// An edition missing from the install is no reason for no manual at all.
TEST(Manual, TheJapaneseEditionStandsInForAMissingOne)
{
    QTemporaryDir folder;
    QFile japanese(folder.filePath(QStringLiteral("lumidot.html")));
    ASSERT_TRUE(japanese.open(QIODevice::WriteOnly));
    japanese.close();
    EXPECT_EQ(findManual({folder.path()}, QStringLiteral("lumidot_en.html")), japanese.fileName());
    EXPECT_EQ(findManual({folder.path() + QStringLiteral("/nowhere")}, QStringLiteral("lumidot_en.html")),
              QString());
}

} // namespace
} // namespace lumidot::testing
