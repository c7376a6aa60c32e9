#include "export/OpenCommand.h"

#include "export/PrtReader.h"
#include "export/SmfReader.h"
#include "export/SswReader.h"
#include "export/SyxReader.h"
#include "export/SswWriter.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace lumidot {

namespace {

// Far beyond anything the writers produce; guards against reading a huge
// unrelated file whole.
constexpr std::uintmax_t kLargestFile = 64u * 1024 * 1024;

LoadResult refused(std::string error)
{
    LoadResult result;
    result.error = std::move(error);
    return result;
}

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view signature)
{
    return bytes.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), bytes.begin());
}

} // namespace

LoadResult loadRecordingBytes(std::span<const std::uint8_t> bytes)
{
    if (startsWith(bytes, "MThd"))
        return readSmf(bytes);
    if (startsWith(bytes, "RCPPR"))
        return readPrt(bytes);
    if (startsWith(bytes, kSswSignature.substr(0, 21)))
        return readSsw(bytes);
    if (!bytes.empty() && bytes[0] == 0xF0)
        return readSyx(bytes);
    if (bytes.empty())
        return refused("the file is empty");
    return refused("neither .syx, .mid, .prt nor .exc as Lumidot writes them");
}

LoadResult loadRecording(const std::string& fileName)
{
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error))
        return refused(fileName + " is a folder");
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return refused("cannot open " + fileName + ": " + std::strerror(errno));
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::uintmax_t>(in.tellg());
    if (!in || size > kLargestFile)
        return refused(fileName + " is not a readable file of at most 64 MiB");
    in.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return refused("cannot read " + fileName);
    return loadRecordingBytes(bytes);
}

} // namespace lumidot
