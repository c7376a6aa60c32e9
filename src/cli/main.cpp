// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConvertTool.h"

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return lumidot::runConvertTool(args, std::cout, std::cerr);
}
