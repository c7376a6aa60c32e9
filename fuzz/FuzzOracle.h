// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "export/OpenCommand.h"
#include "export/SyxWriter.h"

#include <cstdint>
#include <span>
#include <vector>

// What every reader promises: a file it accepts is one that the matching
// writer would write from the recording it returns. A broken promise stops
// the fuzzer with the input that broke it.
namespace lumidot::fuzz {

inline void require(bool promise)
{
    if (!promise)
        __builtin_trap();
}

inline std::span<const std::uint8_t> input(const std::uint8_t* data, std::size_t size)
{
    return {data, size};
}

inline bool sameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// A refused file leaves an empty recording and says why.
inline void requireCleanRefusal(const LoadResult& result)
{
    require(result.ok || (!result.error.empty() && result.recording.StepCount() == 0));
}

} // namespace lumidot::fuzz
