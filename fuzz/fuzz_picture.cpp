// SPDX-License-Identifier: GPL-3.0-or-later
// The picture import on any bytes, read from a file as the window and
// lumidot-convert read one: a GIF through giflib, anything else through
// Qt's readers (PNG, BMP, ICO, JPEG, ...).
#include "FuzzOracle.h"

#include "picture/DecodeLimits.h"
#include "picture/VirtualArea.h"
#include "platform/images/ImageFrames.h"

#include <QCoreApplication>

#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace lumidot;

namespace {

// The input as a regular file without touching the disk.
std::string asFile(const std::uint8_t* data, std::size_t size, int& fd)
{
    fd = ::memfd_create("picture", MFD_CLOEXEC);
    fuzz::require(fd >= 0);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(fd, data + done, size - done);
        fuzz::require(wrote > 0);
        done += static_cast<std::size_t>(wrote);
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

// What the import promises on any file: a refusal says why; an accepted one
// gives as many frames as it counted, none larger than the plane, at a cost
// within the import's limit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    int fd = -1;
    const ImageFrames frames = ImageFrames::fromNativeNames({asFile(data, size, fd)});
    int counted = 0;
    ImageReadError error;
    if (!frames.count(counted, error)) {
        fuzz::require(error.failed() && !error.reason.isEmpty());
        ::close(fd);
        return 0;
    }
    fuzz::require(counted >= 1);
    DotConversion conversion;
    conversion.scale = size % 2 ? ScaleMode::None : ScaleMode::FitWindow;
    conversion.method = size % 3 == 0 ? DotMethod::FloydSteinberg : DotMethod::Threshold;
    int converted = 0;
    const bool read = frames.convert(
        conversion,
        [&](DotImage&& dots) {
            fuzz::require(dots.width <= VirtualArea::kWidth && dots.height <= VirtualArea::kHeight);
            fuzz::require(dots.dots.size() == static_cast<std::size_t>(dots.width) * dots.height);
            ++converted;
            return true;
        },
        error);
    fuzz::require(read ? converted <= counted : error.failed() && !error.reason.isEmpty());
    ::close(fd);
    return 0;
}
