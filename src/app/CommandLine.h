// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace lumidot {

// Answers --version and --help (or -h): prints the answer and returns the
// exit code, so that the program ends before any window or display is made.
// Any other argument is left alone: the program starts as it always does.
std::optional<int> answerInfoOption(const std::vector<std::string>& args, std::ostream& out);

// The file to open at start: the first argument that is no option.
std::optional<std::string> fileArgument(const std::vector<std::string>& args);

} // namespace lumidot
