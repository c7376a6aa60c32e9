// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/ImageFrames.h"

#include "export/UserFile.h"
#include "picture/DecodeLimits.h"
#include "platform/images/GifFrames.h"
#include "platform/images/IconDirectory.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <memory>

namespace lumidot {

namespace {

using Kind = ImageReadError::Kind;

// A picture decoded from bytes in memory, recognised by its content
// whatever its name, and held to the largest picture size: Qt refuses to
// allocate more (the decoded colours take four bytes a pixel).
struct BufferedReader {
    explicit BufferedReader(std::span<const std::uint8_t> bytes)
        : data(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<qsizetype>(bytes.size())))
        , buffer(&data)
    {
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(true);
        reader.setAllocationLimit(static_cast<int>(kLargestPicturePixels * 4 / (1024 * 1024)) + 1);
    }
    // The frames a reader announces; formats that cannot count hold one.
    int frames() { return std::max(1, reader.imageCount()); }

    QByteArray data;
    QBuffer buffer;
    QImageReader reader;
};

// One file's bytes and the names to report it by.
struct PictureFile {
    QString name;
    std::string nativeName;
    std::vector<std::uint8_t> bytes;

    ImageReadError error(Kind kind, const QString& reason) const
    {
        return {name, reason, kind, ReadFault::None, nativeName};
    }
};

// Reads a file as every user's file is read.
bool readPictureFile(PictureFile& file, ImageReadError& error)
{
    const FileRefusal refused = readUserFile(file.nativeName, file.bytes);
    if (!refused.refused())
        return true;
    error = file.error(Kind::File, QString::fromStdString(refused.error));
    error.fileFault = refused.fault;
    return false;
}

QString tooLargeReason(QSize size)
{
    return QString::fromStdString(tooLargePictureReason(size.width(), size.height()));
}

bool sizeAllowed(QSize size)
{
    return pictureSizeAllowed(size.width(), size.height());
}

// What a file's frames cost before conversion, and their count.
struct FileCost {
    int frames = 0;
    std::int64_t work = 0;
};

std::int64_t scaledArea(int width, int height, const DotConversion* conversion)
{
    if (!conversion)
        return 0;
    const PictureSize size = scaledSize(width, height, conversion->scale, conversion->percent);
    return static_cast<std::int64_t>(size.width) * size.height;
}

// The work of a picture Qt decodes: decoding, resampling it whole, and
// its dots when the conversion is known.
std::int64_t qtPictureWork(std::int64_t width, std::int64_t height, const DotConversion* conversion)
{
    return width * height * (kDecodedPixelWork + 1) +
           scaledArea(static_cast<int>(width), static_cast<int>(height), conversion) * kDotWork;
}

// The images of an icon file, by the sizes their data states; Qt's reader
// tells no size before decoding one.
bool scanIcon(const PictureFile& file, const DotConversion* conversion, FileCost& cost, ImageReadError& error)
{
    std::vector<IconImage> images;
    std::string fault;
    if (!readIconDirectory(file.bytes, images, fault)) {
        error = file.error(Kind::Damaged, QString::fromStdString(fault));
        return false;
    }
    cost.frames = static_cast<int>(images.size());
    for (const IconImage& image : images) {
        if (image.width == 0 && image.height == 0)
            continue;
        if (!pictureSizeAllowed(image.width, image.height)) {
            error = file.error(Kind::TooLarge,
                               QString::fromStdString(tooLargePictureReason(image.width, image.height)));
            return false;
        }
        cost.work += qtPictureWork(image.width, image.height, conversion);
    }
    return true;
}

// A picture Qt reads: its frames counted, and each one's size checked,
// from the headers alone where the format tells the size.
bool scanQtPicture(const PictureFile& file, const DotConversion* conversion, FileCost& cost,
                   ImageReadError& error)
{
    if (isIconData(file.bytes))
        return scanIcon(file, conversion, cost, error);
    BufferedReader picture(file.bytes);
    if (!picture.reader.canRead()) {
        error = file.error(Kind::Damaged, picture.reader.errorString());
        return false;
    }
    cost.frames = picture.frames();
    for (int k = 0; k < cost.frames; ++k) {
        if (k > 0 && !picture.reader.jumpToImage(k))
            break;
        const QSize size = picture.reader.size();
        if (!size.isValid())
            continue;
        if (!sizeAllowed(size)) {
            error = file.error(Kind::TooLarge, tooLargeReason(size));
            return false;
        }
        cost.work += qtPictureWork(size.width(), size.height(), conversion);
    }
    return true;
}

bool scanGifPicture(const PictureFile& file, const DotConversion* conversion, FileCost& cost,
                    ImageReadError& error)
{
    GifSummary summary;
    QString reason;
    if (!scanGif(file.bytes, summary, reason)) {
        error = file.error(summary.tooLarge ? Kind::TooLarge : Kind::Damaged, reason);
        return false;
    }
    cost.frames = summary.frames;
    cost.work = summary.work + summary.frames * scaledArea(summary.width, summary.height, conversion);
    return true;
}

bool decodeQtPicture(const PictureFile& file, const ImageFrames::FrameHandler& each, bool& goOn,
                     ImageReadError& error)
{
    BufferedReader picture(file.bytes);
    const int frames = picture.frames();
    for (int k = 0; k < frames && goOn; ++k) {
        const auto refuse = [&](Kind kind, QString reason) {
            if (reason.isEmpty())
                reason = QStringLiteral("Unknown error");
            if (k > 0)
                reason = QStringLiteral("frame %1 of %2: %3").arg(k + 1).arg(frames).arg(reason);
            error = file.error(kind, reason);
            return false;
        };
        // Refused by the size it states where the format tells it, and by
        // the size it has where the format tells none.
        const QSize stated = picture.reader.size();
        if (stated.isValid() && !sizeAllowed(stated))
            return refuse(Kind::TooLarge, tooLargeReason(stated));
        QImage image = picture.reader.read();
        if (image.isNull())
            return refuse(Kind::Damaged, picture.reader.errorString());
        if (!sizeAllowed(image.size()))
            return refuse(Kind::TooLarge, tooLargeReason(image.size()));
        const GreyImage grey = greyImage(std::move(image));
        const std::int64_t decodeWork = static_cast<std::int64_t>(grey.width) * grey.height * kDecodedPixelWork;
        goOn = each(grey, {0, 0, grey.width, grey.height}, decodeWork);
    }
    return true;
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

// The largest picture in the unit the language counts large numbers in:
// Japanese in 万 (ten thousand), English in millions. The translation
// names the unit, so that each language reads a number of its own.
std::int64_t largestPictureInCountingUnits()
{
    const std::int64_t unit =
        QCoreApplication::translate("ImageFrames", "10000", "pixels in the unit of the largest picture's size")
            .toLongLong();
    return kLargestPicturePixels / (unit > 0 ? unit : 10000);
}

} // namespace

GreyImage greyImage(const QImage& image)
{
    return greyImage(QImage(image));
}

GreyImage greyImage(QImage&& image)
{
    // Converted in place where the format allows it, so that a large
    // picture is not held twice.
    const QImage pixels = std::move(image).convertToFormat(QImage::Format_ARGB32);
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
    switch (kind) {
    case Kind::File:
        return QString::fromStdString(readFaultMessage(fileFault, std::nullopt, fileName.toStdString()));
    case Kind::TooLarge:
        return QCoreApplication::translate("ImageFrames",
                                           "画像 %1 は大きすぎるため読み込めません (%2 万ピクセルまで)\n%3")
            .arg(fileName)
            .arg(largestPictureInCountingUnits())
            .arg(reason);
    case Kind::TooMuchWork:
        return QCoreApplication::translate("ImageFrames",
                                           "画像 %1 はフレームが多く大きいため、変換に時間がかかりすぎます。"
                                           "フレーム数か画像の大きさを減らしてください。\n%2")
            .arg(fileName, reason);
    case Kind::None:
    case Kind::Damaged:
        break;
    }
    return QCoreApplication::translate("ImageFrames", "画像を読み込めません: %1\n%2").arg(fileName, reason);
}

ImageFrames::ImageFrames(QStringList fileNames)
    : fileNames_(std::move(fileNames))
{
    for (const QString& name : fileNames_)
        nativeNames_.push_back(QFile::encodeName(name).toStdString());
}

ImageFrames::ImageFrames(QStringList fileNames, std::vector<std::string> nativeNames)
    : fileNames_(std::move(fileNames))
    , nativeNames_(std::move(nativeNames))
{
}

ImageFrames ImageFrames::fromNativeNames(const std::vector<std::string>& fileNames)
{
    QStringList names;
    for (const std::string& name : fileNames)
        names << QFile::decodeName(QByteArray::fromStdString(name));
    return ImageFrames(names, fileNames);
}

QStringList ImageFrames::inNameOrder(QStringList fileNames)
{
    std::stable_sort(fileNames.begin(), fileNames.end(),
                     [](const QString& a, const QString& b) { return naturalLess(a, b); });
    return fileNames;
}

bool ImageFrames::checkWork(const DotConversion* conversion, int& frames, ImageReadError& error) const
{
    frames = 0;
    std::int64_t work = 0;
    for (qsizetype k = 0; k < fileNames_.size(); ++k) {
        PictureFile file{fileNames_[k], nativeNames_[static_cast<std::size_t>(k)], {}};
        if (!readPictureFile(file, error))
            return false;
        FileCost cost;
        const bool scanned = isGifData(file.bytes) ? scanGifPicture(file, conversion, cost, error)
                                                   : scanQtPicture(file, conversion, cost, error);
        if (!scanned)
            return false;
        frames += cost.frames;
        work += cost.work;
        if (work > kLargestPictureWork) {
            error = file.error(Kind::TooMuchWork,
                               QStringLiteral("%1 frames whose decoding and conversion take about %2 "
                                              "million pixel operations; the limit is %3 million")
                                   .arg(frames)
                                   .arg((work + 999999) / 1000000)
                                   .arg(kLargestPictureWork / 1000000));
            return false;
        }
    }
    return true;
}

bool ImageFrames::count(int& frames, ImageReadError& error) const
{
    return checkWork(nullptr, frames, error);
}

namespace {

// Players show a GIF delay below two hundredths as a tenth of a second.
std::int64_t gifDelayMicros(int hundredths)
{
    return (hundredths < 2 ? 10 : hundredths) * std::int64_t{10000};
}

bool gifDurations(const PictureFile& file, std::vector<std::int64_t>& micros, ImageReadError& error)
{
    GifSummary summary;
    QString reason;
    std::vector<int> delays;
    if (!scanGif(file.bytes, summary, reason, &delays)) {
        error = file.error(summary.tooLarge ? Kind::TooLarge : Kind::Damaged, reason);
        return false;
    }
    // A GIF of one frame is a still picture.
    for (const int delay : delays)
        micros.push_back(delays.size() > 1 ? gifDelayMicros(delay) : 0);
    return true;
}

bool qtPictureDurations(const PictureFile& file, std::vector<std::int64_t>& micros, ImageReadError& error)
{
    BufferedReader picture(file.bytes);
    if (!picture.reader.canRead()) {
        error = file.error(Kind::Damaged, picture.reader.errorString());
        return false;
    }
    const int frames = picture.frames();
    const std::size_t first = micros.size();
    for (int k = 0; k < frames; ++k) {
        micros.push_back(frames > 1 ? std::max(0, picture.reader.nextImageDelay()) * std::int64_t{1000} : 0);
        if (k + 1 < frames && !picture.reader.jumpToNextImage())
            break;
    }
    // Frames the reader cannot reach without decoding keep no time of their own.
    micros.resize(first + static_cast<std::size_t>(frames), 0);
    return true;
}

} // namespace

bool ImageFrames::durations(std::vector<std::int64_t>& micros, ImageReadError& error) const
{
    micros.clear();
    for (qsizetype k = 0; k < fileNames_.size(); ++k) {
        PictureFile file{fileNames_[k], nativeNames_[static_cast<std::size_t>(k)], {}};
        if (!readPictureFile(file, error))
            return false;
        const bool read = isGifData(file.bytes) ? gifDurations(file, micros, error)
                                                : qtPictureDurations(file, micros, error);
        if (!read)
            return false;
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
        error = {fileNames_.value(0), QStringLiteral("the file holds no frame"), Kind::Damaged,
                 ReadFault::None, nativeNames_.empty() ? std::string() : nativeNames_.front()};
    return read && found;
}

bool ImageFrames::walk(const FrameHandler& each, ImageReadError& error) const
{
    bool goOn = true;
    // A GIF's decoding was counted exactly by its scan.
    const auto handOn = [&](const GreyImage& frame, const PixelRect& changed) {
        return goOn = each(frame, changed, 0);
    };
    for (qsizetype k = 0; k < fileNames_.size() && goOn; ++k) {
        PictureFile file{fileNames_[k], nativeNames_[static_cast<std::size_t>(k)], {}};
        if (!readPictureFile(file, error))
            return false;
        if (!isGifData(file.bytes)) {
            if (!decodeQtPicture(file, each, goOn, error))
                return false;
            continue;
        }
        GifSummary summary;
        QString reason;
        if (!readGifFrames(file.bytes, handOn, reason, &summary)) {
            error = file.error(summary.tooLarge ? Kind::TooLarge : Kind::Damaged, reason);
            return false;
        }
    }
    return true;
}

bool ImageFrames::read(const std::function<bool(const GreyImage&)>& each, ImageReadError& error) const
{
    return walk([&](const GreyImage& frame, const PixelRect&, std::int64_t) { return each(frame); }, error);
}

bool ImageFrames::convert(const DotConversion& conversion,
                          const std::function<bool(DotImage&&)>& each, ImageReadError& error) const
{
    int frames = 0;
    if (!checkWork(&conversion, frames, error))
        return false;
    // The scan's estimate holds the import to its limit; what the
    // conversion really does is counted too, so that no file can make it
    // run on past it.
    DecodeBudget budget;
    FrameConverter converter(conversion);
    bool overBudget = false;
    const bool read = walk(
        [&](const GreyImage& frame, const PixelRect& changed, std::int64_t decodeWork) {
            DotImage dots = converter.convert(frame, changed);
            if (!budget.charge(decodeWork + converter.lastWork())) {
                overBudget = true;
                return false;
            }
            return each(std::move(dots));
        },
        error);
    if (read && overBudget)
        error = {fileNames_.value(0),
                 QStringLiteral("the conversion passed %1 million pixel operations")
                     .arg(kLargestPictureWork / 1000000),
                 Kind::TooMuchWork, ReadFault::None,
                 nativeNames_.empty() ? std::string() : nativeNames_.front()};
    return read && !overBudget;
}

bool ImageFrames::isPictureData(std::span<const std::uint8_t> bytes)
{
    if (isGifData(bytes))
        return true;
    BufferedReader picture(bytes);
    return picture.reader.canRead();
}

QString imageOpenFilter()
{
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(suffix);
    return QCoreApplication::translate("ImageFrames", "画像ファイル|%1|すべてのファイル|*")
        .arg(patterns.join(QLatin1Char(';')));
}

} // namespace lumidot
