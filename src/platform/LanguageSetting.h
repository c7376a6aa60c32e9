// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace lumidot {

class SettingsStore;

// The language of the interface, chosen in the settings dialog ("表示言語"):
// Japanese, English, or the system's language.
enum class UiLanguage { Japanese, English, System };

// Stored as the value "UI_LANG", the bytes "ja", "en" or "system", after the
// other settings. It is read on its own, before any window exists, because
// the texts of every window are chosen when the window is made.
// Absent, of another type or unknown (a later version's language): Japanese,
// as the program always spoke; the choice never keeps the program from starting.
UiLanguage loadUiLanguage(SettingsStore& store);
// Writes the choice when it differs from the stored one (an absent value
// counting as Japanese), so that the store of a user who never chose a
// language stays as it was. False when the store could not be written.
bool saveUiLanguage(UiLanguage language, SettingsStore& store);

} // namespace lumidot
