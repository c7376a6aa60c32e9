// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace lumidot {

class VirtualArea;

// The whole plane as a 1-bit picture, set dots black, with its origin.
QImage planeImage(const VirtualArea& area);

// The plane as PNG bytes: those a document file carries as its plane
// (export/PlanePng.h), origin key "Lumidot origin" included.
QByteArray planePng(const VirtualArea& area);

struct PlaneFileResult {
    bool ok = true;
    QString message;      // Japanese, for the window
    bool atOrigin = false; // opened at the coordinates stored in the file
};

// Writes the plane to fileName as a PNG in one step: a failure leaves any
// earlier file as it was.
PlaneFileResult savePlane(const QString& fileName, const VirtualArea& area);

// Reads a picture back into the plane. One that carries an origin replaces
// the whole plane, its dots at the coordinates they were saved from; any
// other picture replaces the dots under it with its top-left pixel at
// (windowX, windowY), dark pixels set, without scaling or dithering.
PlaneFileResult openPlane(const QString& fileName, VirtualArea& area, int windowX, int windowY);

} // namespace lumidot
