// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/PixelDots.h"

#include <QString>

#include <functional>
#include <vector>

namespace lumidot {

// True when the file starts with a GIF signature.
bool isGifFile(const QString& fileName);

// The frames of a GIF, counted without decoding them; -1 on failure, with
// the reason. delays, when given, receives each frame's delay in
// hundredths of a second, as its graphic control block states it.
int countGifFrames(const QString& fileName, QString& reason, std::vector<int>* delays = nullptr);

// Decodes a GIF frame by frame and hands each frame on composed as a web
// browser shows it: the canvas starts transparent, a frame's transparent
// colour shows what lies under it, "restore to background" makes the
// frame's area transparent again, "restore to previous" brings back the
// canvas as it was before the frame. Stops early when each() returns false.
// False on a damaged file, with the reason.
bool readGifFrames(const QString& fileName, const std::function<bool(const GreyImage&)>& each,
                   QString& reason);

} // namespace lumidot
