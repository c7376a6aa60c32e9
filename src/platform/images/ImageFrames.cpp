// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/ImageFrames.h"

#include "platform/images/GifFrames.h"

#include <QImageReader>

#include <algorithm>

namespace lumidot {

namespace {

ImageReadError readError(const QString& fileName, const QImageReader& reader)
{
    QString reason = reader.errorString();
    if (reason.isEmpty())
        reason = QStringLiteral("Unknown error");
    return {fileName, reason};
}

// A reader that recognises the picture by its content, whatever its name.
void prepare(QImageReader& reader)
{
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
}

// The frames a reader announces; formats that cannot count hold one.
int framesOf(QImageReader& reader)
{
    return std::max(1, reader.imageCount());
}

// Runs of digits compare by their value, the rest case-blind, so that
// "frame2" comes before "frame10" whatever the locale.
bool naturalLess(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype si = i, sj = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            QStringView da = QStringView(a).mid(si, i - si);
            QStringView db = QStringView(b).mid(sj, j - sj);
            while (da.size() > 1 && da.front() == u'0')
                da = da.mid(1);
            while (db.size() > 1 && db.front() == u'0')
                db = db.mid(1);
            if (da.size() != db.size())
                return da.size() < db.size();
            if (const int c = da.compare(db); c != 0)
                return c < 0;
            continue;
        }
        const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b;
}

} // namespace

GreyImage greyImage(const QImage& image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    GreyImage out(pixels.width(), pixels.height());
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        std::uint8_t* grey = out.grey.data() + static_cast<std::size_t>(y) * out.width;
        std::uint8_t* alpha = out.alpha.data() + static_cast<std::size_t>(y) * out.width;
        for (int x = 0; x < pixels.width(); ++x) {
            const QRgb p = line[x];
            grey[x] = static_cast<std::uint8_t>(
                (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000);
            alpha[x] = static_cast<std::uint8_t>(qAlpha(p));
        }
    }
    return out;
}

QString ImageReadError::message() const
{
    return QStringLiteral("画像を読み込めません: %1\n%2").arg(fileName, reason);
}

ImageFrames::ImageFrames(QStringList fileNames)
    : fileNames_(std::move(fileNames))
{
}

QStringList ImageFrames::inNameOrder(QStringList fileNames)
{
    std::stable_sort(fileNames.begin(), fileNames.end(),
                     [](const QString& a, const QString& b) { return naturalLess(a, b); });
    return fileNames;
}

bool ImageFrames::count(int& frames, ImageReadError& error) const
{
    frames = 0;
    for (const QString& fileName : fileNames_) {
        if (isGifFile(fileName)) {
            QString reason;
            const int found = countGifFrames(fileName, reason);
            if (found < 0) {
                error = {fileName, reason};
                return false;
            }
            frames += found;
            continue;
        }
        QImageReader reader(fileName);
        prepare(reader);
        if (!reader.canRead()) {
            error = readError(fileName, reader);
            return false;
        }
        frames += framesOf(reader);
    }
    return true;
}

namespace {

// Players show a GIF delay below two hundredths as a tenth of a second.
std::int64_t gifDelayMicros(int hundredths)
{
    return (hundredths < 2 ? 10 : hundredths) * std::int64_t{10000};
}

} // namespace

bool ImageFrames::durations(std::vector<std::int64_t>& micros, ImageReadError& error) const
{
    micros.clear();
    for (const QString& fileName : fileNames_) {
        if (isGifFile(fileName)) {
            QString reason;
            std::vector<int> delays;
            if (countGifFrames(fileName, reason, &delays) < 0) {
                error = {fileName, reason};
                return false;
            }
            // A GIF of one frame is a still picture.
            for (const int delay : delays)
                micros.push_back(delays.size() > 1 ? gifDelayMicros(delay) : 0);
            continue;
        }
        QImageReader reader(fileName);
        prepare(reader);
        if (!reader.canRead()) {
            error = readError(fileName, reader);
            return false;
        }
        const int frames = framesOf(reader);
        const std::size_t first = micros.size();
        for (int k = 0; k < frames; ++k) {
            micros.push_back(frames > 1 ? std::max(0, reader.nextImageDelay()) * std::int64_t{1000} : 0);
            if (k + 1 < frames && !reader.jumpToNextImage())
                break;
        }
        // Frames the reader cannot reach without decoding keep no time of their own.
        micros.resize(first + static_cast<std::size_t>(frames), 0);
    }
    return true;
}

bool ImageFrames::firstFrame(GreyImage& frame, ImageReadError& error) const
{
    bool found = false;
    const bool read = this->read(
        [&](const GreyImage& first) {
            frame = first;
            found = true;
            return false;
        },
        error);
    if (read && !found)
        error = {fileNames_.value(0), QStringLiteral("the file holds no frame")};
    return read && found;
}

bool ImageFrames::read(const std::function<bool(const GreyImage&)>& each,
                       ImageReadError& error) const
{
    bool goOn = true;
    const auto handOn = [&](const GreyImage& frame) { return goOn = each(frame); };
    for (const QString& fileName : fileNames_) {
        if (isGifFile(fileName)) {
            QString reason;
            if (!readGifFrames(fileName, handOn, reason)) {
                error = {fileName, reason};
                return false;
            }
            if (!goOn)
                return true;
            continue;
        }
        QImageReader reader(fileName);
        prepare(reader);
        const int frames = framesOf(reader);
        for (int k = 0; k < frames; ++k) {
            const QImage frame = reader.read();
            if (frame.isNull()) {
                error = readError(fileName, reader);
                if (k > 0)
                    error.reason = QStringLiteral("frame %1 of %2: %3").arg(k + 1).arg(frames).arg(error.reason);
                return false;
            }
            if (!handOn(greyImage(frame)))
                return true;
        }
    }
    return true;
}

bool ImageFrames::convert(const DotConversion& conversion,
                          const std::function<bool(DotImage&&)>& each, ImageReadError& error) const
{
    return read([&](const GreyImage& frame) { return each(convertToDots(frame, conversion)); }, error);
}

bool ImageFrames::isPicture(const QString& fileName)
{
    if (isGifFile(fileName))
        return true;
    QImageReader reader(fileName);
    prepare(reader);
    return reader.canRead();
}

QString imageOpenFilter()
{
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(suffix);
    return QStringLiteral("画像ファイル|%1|すべてのファイル|*").arg(patterns.join(QLatin1Char(';')));
}

} // namespace lumidot
