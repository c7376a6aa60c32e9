// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/UserText.h"

#include <gtest/gtest.h>

#include <string>

namespace lumidot {
namespace {

// A translator of two texts, for the length of one test.
std::string english(const char* context, const char* source)
{
    const std::string key = std::string(context) + "|" + source;
    if (key == "Test|ファイル %1 を開けません")
        return "Cannot open the file %1";
    if (key == "Test|%1 から %2 へ")
        return "to %2 from %1";
    return source;
}

class UserTextTest : public ::testing::Test {
protected:
    void TearDown() override { setTextTranslator(nullptr); }
};

TEST_F(UserTextTest, WithoutATranslatorTheJapaneseSourceStandsWithItsValues)
{
    EXPECT_EQ(LUMIDOT_TEXT("Test", "ファイルが空です").str(), "ファイルが空です");
    EXPECT_EQ(std::string(LUMIDOT_TEXT("Test", "ファイル %1 を開けません").arg("a.syx")), "ファイル a.syx を開けません");
    EXPECT_EQ(LUMIDOT_TEXT("Test", "%1 から %2 へ").arg("A").arg(9999).str(), "A から 9999 へ");
}

TEST_F(UserTextTest, TheTranslatorMayReorderThePlaces)
{
    setTextTranslator(&english);
    EXPECT_EQ(LUMIDOT_TEXT("Test", "ファイル %1 を開けません").arg("a.syx").str(), "Cannot open the file a.syx");
    EXPECT_EQ(LUMIDOT_TEXT("Test", "%1 から %2 へ").arg("A").arg("B").str(), "to B from A");
    EXPECT_EQ(LUMIDOT_TEXT("Other", "ファイル %1 を開けません").arg("x").str(), "ファイル x を開けません")
        << "a text is found by its context too";
}

// Values are put in once: a file name holding "%2" is not filled again.
TEST_F(UserTextTest, PlacesAreFilledInOnePassAndOnlyWhereAValueIs)
{
    EXPECT_EQ(LUMIDOT_TEXT("Test", "%1 から %2 へ").arg("100%2").arg("B").str(), "100%2 から B へ");
    EXPECT_EQ(LUMIDOT_TEXT("Test", "%1 と %2").arg("A").str(), "A と %2");
    EXPECT_EQ(LUMIDOT_TEXT("Test", "100% の %1").arg("A").str(), "100% の A");
    EXPECT_EQ(LUMIDOT_TEXT("Test", "%10 番").arg("A").str(), "%10 番") << "%10 is the tenth place, not %1 and 0";
    EXPECT_EQ(LUMIDOT_TEXT("Test", "末尾 %").str(), "末尾 %");
}

} // namespace
} // namespace lumidot
