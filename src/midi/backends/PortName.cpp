// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/backends/PortName.h"

#include <cctype>

namespace lumidot {
namespace {

bool continuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

} // namespace

std::string cutDeviceName(std::string_view name, std::size_t maxChars)
{
    std::size_t chars = 0;
    std::size_t end = 0;
    while (end < name.size()) {
        if (!continuationByte(name[end])) {
            if (chars == maxChars)
                break;
            ++chars;
        }
        ++end;
    }
    return std::string(name.substr(0, end));
}

std::string withoutSequencerAddress(std::string_view name)
{
    const std::size_t space = name.rfind(' ');
    if (space == std::string_view::npos)
        return std::string(name);
    const std::string_view address = name.substr(space + 1);
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos || !allDigits(address.substr(0, colon))
        || !allDigits(address.substr(colon + 1)))
        return std::string(name);
    return std::string(name.substr(0, space));
}

} // namespace lumidot
