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
    QString message;      // Japanese, for the window: why it failed, or a note when it did not
    bool atOrigin = false; // opened at the coordinates stored in the file
};

// Writes the plane to fileName as a PNG in one step: a failure leaves any
// earlier file as it was.
PlaneFileResult savePlane(const QString& fileName, const VirtualArea& area);

// Reads a picture back into the plane. One that carries an origin replaces
// the whole plane, its dots at the coordinates they were saved from; an
// origin off the plane is refused, since nothing of the picture could be
// where it says. Any other picture replaces the dots under it with its
// top-left pixel at (windowX, windowY), dark pixels set, without scaling or
// dithering; one whose origin is not two whole numbers lands there too,
// with a note saying so in message. The file is read as every user's file
// is (export/UserFile.h) and held to the largest picture size.
PlaneFileResult openPlane(const QString& fileName, VirtualArea& area, int windowX, int windowY);

} // namespace lumidot
