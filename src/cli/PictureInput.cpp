// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PictureInput.h"

#include "ns5r/Commands.h"
#include "picture/VirtualArea.h"
#include "platform/images/ImageFrames.h"

#include <QFile>

namespace lumidot {

namespace {

QStringList qtNames(const std::vector<std::string>& fileNames)
{
    QStringList names;
    for (const std::string& name : fileNames)
        names << QFile::decodeName(QByteArray::fromStdString(name));
    return names;
}

} // namespace

bool isPictureInput(const std::string& fileName)
{
    return ImageFrames::isPicture(QFile::decodeName(QByteArray::fromStdString(fileName)));
}

bool picturesToRecording(const std::vector<std::string>& fileNames, const DotConversion& conversion,
                         Recording& recording, std::string& error)
{
    const ImageFrames frames(qtNames(fileNames));
    int count = 0;
    ImageReadError failure;
    if (!frames.count(count, failure)) {
        error = QFile::encodeName(failure.fileName).toStdString() + ": " + failure.reason.toStdString();
        return false;
    }
    if (count > kStepLimit) {
        error = std::to_string(count) + " frames; a recording holds at most " +
                std::to_string(kStepLimit) + " frame steps";
        return false;
    }
    VirtualArea area;
    bool full = false;
    const bool read = frames.convert(
        conversion,
        [&](DotImage&& dots) {
            placeDots(area, dots, 0, 0, Placement::Replace);
            full = recording.appendFrame(packWindow(area, 0, 0)) != RecordResult::Recorded;
            return !full;
        },
        failure);
    if (full) {
        error = "more frames than a recording holds (" + std::to_string(kStepLimit) + ")";
        return false;
    }
    if (!read) {
        error = QFile::encodeName(failure.fileName).toStdString() + ": " + failure.reason.toStdString();
        return false;
    }
    return true;
}

bool pictureDurations(const std::vector<std::string>& fileNames, std::vector<std::int64_t>& micros,
                      std::string& error)
{
    ImageReadError failure;
    if (ImageFrames(qtNames(fileNames)).durations(micros, failure))
        return true;
    error = QFile::encodeName(failure.fileName).toStdString() + ": " + failure.reason.toStdString();
    return false;
}

} // namespace lumidot
