// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumidot {

// A text the user reads, made in the core, which knows no toolkit: the
// Japanese source with %1, %2, ... where values go, and its context. The
// window installs a translator at start; without one the source stands, so
// the core's own tests and tools see the Japanese texts.
class UserText {
public:
    UserText(const char* context, const char* source)
        : context_(context), source_(source)
    {
    }

    // The next %n takes this value (a file name, a number, another text).
    UserText& arg(std::string_view value);
    UserText& arg(long long value) { return arg(std::to_string(value)); }

    // The text in the language of the interface, the values in place.
    std::string str() const;
    operator std::string() const { return str(); }

private:
    const char* context_;
    const char* source_;
    std::vector<std::string> values_;
};

// Marks a text for the translation tools (lupdate is told to read it as
// QT_TRANSLATE_NOOP) and makes it:
//   LUMIDOT_TEXT("OpenCommand", "ファイル %1 を開けません").arg(name)
#define LUMIDOT_TEXT(context, source) ::lumidot::UserText(context, source)
// Marks a source kept as it is until it is shown, made then with
// UserText(context, source) in the same context.
#define LUMIDOT_TEXT_NOOP(context, source) source

// Turns a source text into the language of the interface; returns the
// source when it has no translation. Set once at start, before any thread.
using TextTranslator = std::string (*)(const char* context, const char* source);
void setTextTranslator(TextTranslator translator);

} // namespace lumidot
