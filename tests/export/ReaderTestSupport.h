// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace lumidot::testing {

// A refusal loads nothing, names no format, and tells the same place in both
// languages: "byte offset N:" for the tool, the offset counted from the start
// of the file for the window.
inline void expectRefusedAt(const LoadResult& loaded, ReadFault fault, std::size_t offset)
{
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.fault, fault) << loaded.error;
    EXPECT_EQ(loaded.typeIndex, 0);
    EXPECT_EQ(loaded.recording.StepCount(), 0);
    EXPECT_NE(loaded.error.find("byte offset " + std::to_string(offset) + ":"), std::string::npos)
        << loaded.error;
    const std::string place =
        offset == 0 ? "ファイルの先頭" : "先頭から " + std::to_string(offset) + " バイトの位置";
    EXPECT_EQ(loaded.message.rfind("ファイルを読み込めません: ", 0), 0u) << loaded.message;
    EXPECT_NE(loaded.message.find(place), std::string::npos) << loaded.message;
}

} // namespace lumidot::testing
