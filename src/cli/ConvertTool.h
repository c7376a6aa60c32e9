// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace lumidot {

// Exit codes of lumidot-convert.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // bad input or a failed write
inline constexpr int kExitUsage = 2;

// lumidot-convert IN OUT [--tick N] | --list IN; args without the program name.
int runConvertTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace lumidot
