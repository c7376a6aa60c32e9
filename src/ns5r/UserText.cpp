// SPDX-License-Identifier: GPL-3.0-or-later
#include "ns5r/UserText.h"

#include <atomic>
#include <cctype>

namespace lumidot {

namespace {

std::atomic<TextTranslator> gTranslator{nullptr};

} // namespace

void setTextTranslator(TextTranslator translator)
{
    gTranslator.store(translator);
}

UserText& UserText::arg(std::string_view value)
{
    values_.emplace_back(value);
    return *this;
}

namespace {

// The number of the place %1 .. %99 (as in Qt) at text[at], or 0; end is
// where the place ends.
std::size_t placeAt(const std::string& text, std::size_t at, std::size_t& end)
{
    std::size_t number = 0;
    end = at + 1;
    if (text[at] != '%')
        return 0;
    while (end < text.size() && end < at + 3 && std::isdigit(static_cast<unsigned char>(text[end])))
        number = number * 10 + static_cast<std::size_t>(text[end++] - '0');
    return number;
}

} // namespace

// One pass over the template, so that a value holding "%2" is never filled
// in again; a place without a value stays as it is.
std::string UserText::str() const
{
    const TextTranslator translator = gTranslator.load();
    const std::string text = translator ? translator(context_, source_) : std::string(source_);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t end = 0;
        const std::size_t number = placeAt(text, i, end);
        if (number >= 1 && number <= values_.size()) {
            out += values_[number - 1];
            i = end - 1;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace lumidot
