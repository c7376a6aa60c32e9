// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/images/PlaneImage.h"

#include "export/FileReplace.h"
#include "export/PlanePng.h"
#include "picture/PixelDots.h"
#include "picture/VirtualArea.h"
#include "platform/images/ImageFrames.h"

#include <QFile>
#include <QImageReader>
#include <QRegularExpression>

#include <cstring>
#include <optional>
#include <span>

namespace lumidot {

namespace {

constexpr int kDarkUpTo = 127;

std::optional<QPoint> originOf(const QImage& image)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(-?\\d{1,6})\\s*,\\s*(-?\\d{1,6})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(image.text(QString::fromLatin1(kPlaneOriginKey.data(), static_cast<qsizetype>(kPlaneOriginKey.size()))));
    if (!match.hasMatch())
        return std::nullopt;
    return QPoint(match.captured(1).toInt(), match.captured(2).toInt());
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
    return failure(QStringLiteral("描画面を保存できません: %1\n%2")
                       .arg(fileName, QString::fromLocal8Bit(std::strerror(outcome.error))));
}

PlaneFileResult openPlane(const QString& fileName, VirtualArea& area, int windowX, int windowY)
{
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        return failure(ImageReadError{fileName, reader.errorString()}.message());
    const DotImage dots = thresholdDots(greyImage(image), kDarkUpTo, false);
    const std::optional<QPoint> origin = originOf(image);
    if (!origin) {
        placeDots(area, dots, windowX, windowY, Placement::Replace);
        return {};
    }
    area.clearAll();
    placeDots(area, dots, origin->x(), origin->y(), Placement::Replace);
    return {true, {}, true};
}

} // namespace lumidot
