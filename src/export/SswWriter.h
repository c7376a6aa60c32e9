// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/ExportResult.h"
#include "recording/Recording.h"

#include <cstdint>
#include <string_view>

namespace lumidot {

// The largest entry count the 16-bit field of an .exc file states.
inline constexpr std::size_t kSswMaxEntries = 65535;
inline constexpr std::string_view kSswSignature = "SSW Exc Data Ver1.00W           ";
inline constexpr std::size_t kSswNameSize = 30;

// The name an entry of the step's kind carries (before its space filling).
std::string_view SswEntryName(StepKind kind);

// The Singer Song Writer 4 exclusive library: the signature, the entry
// count, one length-prefixed message per entry, then one 32-byte name
// record per entry. No timing. More than 65,535 entries are refused whole.
ExportResult EXPORT_SSW(const Recording& recording);

} // namespace lumidot
