// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/PlaneImage.h"

#include "export/FileReplace.h"
#include "export/PlanePng.h"
#include "export/UserFile.h"
#include "picture/DecodeLimits.h"
#include "picture/PixelDots.h"
#include "picture/VirtualArea.h"
#include "platform/images/ImageFrames.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>

#include <cstring>
#include <optional>
#include <span>

namespace lumidot {

namespace {

constexpr int kDarkUpTo = 127;

// The picture's origin as the file states it: none, two whole numbers, or
// a text that is not two numbers.
struct StatedOrigin {
    enum class Kind { None, Point, Unreadable } kind = Kind::None;
    QPoint point;
    QString text;
};

StatedOrigin originOf(const QImage& image)
{
    const QString key = QString::fromLatin1(kPlaneOriginKey.data(), static_cast<qsizetype>(kPlaneOriginKey.size()));
    if (!image.textKeys().contains(key))
        return {};
    static const QRegularExpression pattern(QStringLiteral("^\\s*(-?\\d{1,6})\\s*,\\s*(-?\\d{1,6})\\s*$"));
    const QString text = image.text(key);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {StatedOrigin::Kind::Unreadable, {}, text};
    return {StatedOrigin::Kind::Point, QPoint(match.captured(1).toInt(), match.captured(2).toInt()), text};
}

// A stated text as the window shows it: cut short when long.
QString shown(const QString& text)
{
    constexpr int kLongest = 40;
    return text.size() > kLongest ? text.left(kLongest) + QStringLiteral("...") : text;
}

// The picture's pixels, read as every user's file is read and held to the
// largest picture size before it is decoded.
bool readPicture(const QString& fileName, QImage& image, QString& message)
{
    std::vector<std::uint8_t> bytes;
    const std::string native = QFile::encodeName(fileName).toStdString();
    const FileRefusal refused = readUserFile(native, bytes);
    if (refused.refused()) {
        message = QString::fromStdString(readFaultMessage(refused.fault, std::nullopt, fileName.toStdString()));
        return false;
    }
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && !pictureSizeAllowed(size.width(), size.height())) {
        const QString reason = QString::fromStdString(tooLargePictureReason(size.width(), size.height()));
        message = ImageReadError{fileName, reason, ImageReadError::Kind::TooLarge, ReadFault::None, native}.message();
        return false;
    }
    image = reader.read();
    if (image.isNull()) {
        message =
            ImageReadError{fileName, reader.errorString(), ImageReadError::Kind::Damaged, ReadFault::None, native}.message();
        return false;
    }
    return true;
}

PlaneFileResult failure(const QString& message)
{
    return {false, message, false};
}

} // namespace

QImage planeImage(const VirtualArea& area)
{
    QImage image(VirtualArea::kWidth, VirtualArea::kHeight, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int x = VirtualArea::kMinX; x <= VirtualArea::kMaxX; ++x) {
        const std::uint8_t* column = area.columnRun(x, VirtualArea::kMinY, VirtualArea::kHeight);
        for (int row = 0; row < VirtualArea::kHeight; ++row) {
            if (column[row])
                image.setPixel(x - VirtualArea::kMinX, row, 1);
        }
    }
    image.setText(QString::fromLatin1(kPlaneOriginKey.data(), static_cast<qsizetype>(kPlaneOriginKey.size())),
                  QStringLiteral("%1,%2").arg(VirtualArea::kMinX).arg(VirtualArea::kMinY));
    return image;
}

QByteArray planePng(const VirtualArea& area)
{
    const std::vector<std::uint8_t> png = encodePlanePng(area);
    return QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
}

PlaneFileResult savePlane(const QString& fileName, const VirtualArea& area)
{
    const QByteArray png = planePng(area);
    const auto* data = reinterpret_cast<const std::uint8_t*>(png.constData());
    const FileWriteOutcome outcome = replaceFileContents(
        QFile::encodeName(fileName).toStdString(), std::span(data, static_cast<std::size_t>(png.size())));
    if (outcome.ok())
        return {};
    return failure(QCoreApplication::translate("PlaneImage", "描画面を保存できません: %1\n%2")
                       .arg(fileName, QString::fromLocal8Bit(std::strerror(outcome.error))));
}

PlaneFileResult openPlane(const QString& fileName, VirtualArea& area, int windowX, int windowY)
{
    QImage image;
    QString message;
    if (!readPicture(fileName, image, message))
        return failure(message);
    const StatedOrigin origin = originOf(image);
    if (origin.kind == StatedOrigin::Kind::Point && !VirtualArea::contains(origin.point.x(), origin.point.y()))
        return failure(QCoreApplication::translate("PlaneImage",
                                                   "描画面を開けません: %1\n画像の原点 (%2, %3) が描画面の外にあります")
                           .arg(fileName)
                           .arg(origin.point.x())
                           .arg(origin.point.y()));
    const DotImage dots = thresholdDots(greyImage(std::move(image)), kDarkUpTo, false);
    if (origin.kind != StatedOrigin::Kind::Point) {
        placeDots(area, dots, windowX, windowY, Placement::Replace);
        if (origin.kind == StatedOrigin::Kind::None)
            return {};
        return {true,
                QCoreApplication::translate("PlaneImage",
                                            "画像 %1 の原点 \"%2\" を読み取れないため、LCD ウィンドウの位置に置きました")
                    .arg(fileName, shown(origin.text)),
                false};
    }
    area.clearAll();
    placeDots(area, dots, origin.point.x(), origin.point.y(), Placement::Replace);
    return {true, {}, true};
}

} // namespace lumidot
