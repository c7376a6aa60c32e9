#include "export/SyxReader.h"

#include "export/StepDecoder.h"

namespace lumidot {

namespace {

LoadResult refused(std::string error)
{
    LoadResult result;
    result.error = std::move(error);
    return result;
}

} // namespace

LoadResult readSyx(std::span<const std::uint8_t> bytes)
{
    StepDecoder decoder;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (bytes[pos] != 0xF0)
            return refused(offsetError(pos, "byte outside a System Exclusive message"));
        std::size_t end = pos + 1;
        while (end < bytes.size() && bytes[end] < 0x80)
            ++end;
        if (end == bytes.size())
            return refused(offsetError(pos, "message cut off by the end of the file"));
        if (bytes[end] != kEndOfExclusive)
            return refused(offsetError(pos, "message cut off by a status byte at offset " +
                                                std::to_string(end)));
        if (!decoder.add(bytes.subspan(pos, end + 1 - pos), pos))
            return refused(decoder.error());
        pos = end + 1;
    }
    if (!decoder.finish())
        return refused(decoder.error());
    LoadResult result;
    result.ok = true;
    result.recording = decoder.takeRecording();
    return result;
}

} // namespace lumidot
