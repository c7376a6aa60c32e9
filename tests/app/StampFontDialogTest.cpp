// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtPrompts.h"
#include "dialogs/StampFontDialog.h"
#include "widgets/TextStamp.h"

#include <QCheckBox>
#include <QFontComboBox>
#include <QFontInfo>
#include <QImage>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace lumidot {
namespace {

// The font button's dialog, run for real but accepted in place: it opens on
// the stamping font as drawn, offers 8..20 points, and OK without a change
// leaves the stamp exactly as it was; a change takes effect.
TEST(StampFontDialog, OpensOnTheStampingFontAndAnUnchangedOkKeepsTheDots)
{
    const QFont start = defaultStampFont();
    const QImage before = renderStampScratch(QStringLiteral("Lumidot あ"), start);

    QtPrompts prompts;
    QString family;
    int points = 0, smallest = 0, largest = 0;
    bool bold = false, italic = false;
    prompts.runModal = [&](QDialog& dialog) {
        auto& fonts = static_cast<TStampFontDialog&>(dialog);
        family = fonts.Family()->currentFont().family();
        points = fonts.Size()->value();
        smallest = fonts.Size()->minimum();
        largest = fonts.Size()->maximum();
        bold = fonts.Bold()->isChecked();
        italic = fonts.Italic()->isChecked();
        dialog.accept();
        return dialog.result();
    };
    QFont font = start;
    ASSERT_TRUE(prompts.chooseFont(font));
    EXPECT_EQ(family, QFontInfo(start).family());
    EXPECT_NE(family, QStringLiteral("Sans Serif"));
    EXPECT_EQ(points, 13) << "17 pixels at 96 dpi";
    EXPECT_EQ(smallest, 8);
    EXPECT_EQ(largest, 20);
    EXPECT_TRUE(bold && italic);
    EXPECT_EQ(font, start);
    EXPECT_EQ(renderStampScratch(QStringLiteral("Lumidot あ"), font), before);

    prompts.runModal = [](QDialog& dialog) {
        auto& fonts = static_cast<TStampFontDialog&>(dialog);
        fonts.Size()->setValue(99);
        fonts.Italic()->setChecked(false);
        dialog.accept();
        return dialog.result();
    };
    ASSERT_TRUE(prompts.chooseFont(font));
    EXPECT_EQ(font.pointSize(), 20);
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_NE(renderStampScratch(QStringLiteral("Lumidot あ"), font), before);

    prompts.runModal = [](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    };
    const QFont kept = font;
    EXPECT_FALSE(prompts.chooseFont(font));
    EXPECT_EQ(font, kept);
}

} // namespace
} // namespace lumidot
