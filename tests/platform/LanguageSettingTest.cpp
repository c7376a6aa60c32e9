// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LanguageSetting.h"
#include "platform/QSettingsStore.h"
#include "support/MemorySettingsStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumidot {
namespace {

using testing::MemorySettingsStore;
using Bytes = std::vector<std::uint8_t>;

Bytes text(const std::string& s)
{
    return {s.begin(), s.end()};
}

TEST(UiLanguageSetting, ReadsTheThreeChoicesAndFallsBackToJapanese)
{
    const struct {
        const char* stored;
        UiLanguage expected;
    } cases[] = {
        {"ja", UiLanguage::Japanese}, {"en", UiLanguage::English}, {"system", UiLanguage::System},
        // A later version's language, a damaged value, a different case.
        {"fr", UiLanguage::Japanese}, {"", UiLanguage::Japanese}, {"EN", UiLanguage::Japanese},
        {"en\n", UiLanguage::Japanese},
    };
    for (const auto& c : cases) {
        MemorySettingsStore store;
        store.put("UI_LANG", text(c.stored));
        EXPECT_EQ(loadUiLanguage(store), c.expected) << '"' << c.stored << '"';
        EXPECT_EQ(store.opens, store.releases) << "the key is released after reading";
    }

    MemorySettingsStore absent;
    EXPECT_EQ(loadUiLanguage(absent), UiLanguage::Japanese);
    MemorySettingsStore wrongType;
    wrongType.putWrongType("UI_LANG");
    EXPECT_EQ(loadUiLanguage(wrongType), UiLanguage::Japanese);
    MemorySettingsStore unusable;
    unusable.unusable = true;
    EXPECT_EQ(loadUiLanguage(unusable), UiLanguage::Japanese);
}

TEST(UiLanguageSetting, IsWrittenOnlyWhenTheChoiceDiffersFromTheStoredOne)
{
    MemorySettingsStore store;
    EXPECT_TRUE(saveUiLanguage(UiLanguage::Japanese, store));
    EXPECT_TRUE(store.writes.empty()) << "an absent value already means Japanese";

    EXPECT_TRUE(saveUiLanguage(UiLanguage::English, store));
    EXPECT_EQ(store.bytes("UI_LANG"), text("en"));
    EXPECT_TRUE(saveUiLanguage(UiLanguage::System, store));
    EXPECT_EQ(store.bytes("UI_LANG"), text("system"));
    EXPECT_TRUE(saveUiLanguage(UiLanguage::System, store));
    EXPECT_TRUE(saveUiLanguage(UiLanguage::Japanese, store));
    EXPECT_EQ(store.bytes("UI_LANG"), text("ja")) << "back to Japanese over a stored choice";
    EXPECT_EQ(store.writes, (std::vector<std::string>{"UI_LANG", "UI_LANG", "UI_LANG"}));
    EXPECT_EQ(store.opens, store.releases);

    store.failingWrites.insert("UI_LANG");
    EXPECT_FALSE(saveUiLanguage(UiLanguage::English, store));
    EXPECT_EQ(store.opens, store.releases);
}

// The value survives a restart in the real store, as bytes beside the others.
TEST(UiLanguageSetting, SurvivesARestartInTheRealStore)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("NS5R.conf"));
    {
        QSettingsStore store(file);
        ASSERT_TRUE(saveUiLanguage(UiLanguage::English, store));
    }
    QSettingsStore again(file);
    EXPECT_EQ(loadUiLanguage(again), UiLanguage::English);
    ASSERT_TRUE(again.openKey());
    const SettingsStore::Value value = again.read("UI_LANG");
    again.release();
    EXPECT_EQ(value.status, SettingsStore::ReadStatus::Ok);
    EXPECT_EQ(value.bytes, text("en"));
}

} // namespace
} // namespace lumidot
