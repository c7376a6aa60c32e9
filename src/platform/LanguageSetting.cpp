// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LanguageSetting.h"

#include "platform/SettingsStore.h"

#include <string_view>

namespace lumidot {

namespace {

constexpr const char* kUiLangValue = "UI_LANG";

constexpr struct {
    UiLanguage language;
    std::string_view bytes;
} kStored[] = {
    {UiLanguage::Japanese, "ja"},
    {UiLanguage::English, "en"},
    {UiLanguage::System, "system"},
};

} // namespace

UiLanguage loadUiLanguage(SettingsStore& store)
{
    if (!store.openKey())
        return UiLanguage::Japanese;
    const SettingsStore::Value value = store.read(kUiLangValue);
    store.release();
    if (value.status != SettingsStore::ReadStatus::Ok)
        return UiLanguage::Japanese;
    const std::string_view stored(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size());
    for (const auto& [language, bytes] : kStored) {
        if (stored == bytes)
            return language;
    }
    return UiLanguage::Japanese;
}

bool saveUiLanguage(UiLanguage language, SettingsStore& store)
{
    if (loadUiLanguage(store) == language)
        return true;
    if (!store.openKey())
        return false;
    std::string_view bytes = kStored[0].bytes;
    for (const auto& entry : kStored) {
        if (entry.language == language)
            bytes = entry.bytes;
    }
    const bool ok = store.write(kUiLangValue, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    store.release();
    return ok;
}

} // namespace lumidot
