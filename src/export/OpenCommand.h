#pragma once

#include "recording/Recording.h"

#include <cstdint>
#include <span>
#include <string>

namespace lumidot {

// A file read back into a fresh recording. On refusal ok is false, error
// says what is wrong and where, and the recording is empty.
struct LoadResult {
    bool ok = false;
    std::string error;
    Recording recording;
    int stepTick = 0;   // the tick spacing found; 0 when the format has none
};

// Reads a file that Lumidot wrote, choosing the reader by the file's first
// bytes rather than by its name.
LoadResult loadRecording(const std::string& fileName);
LoadResult loadRecordingBytes(std::span<const std::uint8_t> bytes);

} // namespace lumidot
