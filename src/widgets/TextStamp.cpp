// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TextStamp.h"

#include "picture/VirtualArea.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringEncoder>

#include <algorithm>

namespace lumidot {

namespace {

// Point sizes from the font dialog render as on a 96 dpi desktop.
constexpr int kDotsPerMeterAt96Dpi = 3780;

bool isExactlyBlack(QRgb pixel)
{
    return qRed(pixel) == 0 && qGreen(pixel) == 0 && qBlue(pixel) == 0;
}

// The Windows Japanese faces the stamping font is known by, mapped to their
// metric-compatible IPA fonts; without this the face falls back to a Latin
// sans-serif font.
void substituteWindowsJapaneseFaces()
{
    static const bool done = [] {
        QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
        QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
        QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
        QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
        return true;
    }();
    (void)done;
}

} // namespace

QFont defaultStampFont()
{
    substituteWindowsJapaneseFaces();
    QFont font(QStringLiteral("ＭＳ Ｐ明朝"));
    font.setPixelSize(17);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

QImage renderStampScratch(const QString& text, const QFont& font)
{
    QImage scratch(kScratchWidth, kScratchHeight, QImage::Format_RGB32);
    scratch.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    scratch.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    scratch.fill(kButtonFace);

    // Antialiased edges would be grey and get lost; a bi-level rendering
    // makes every pixel of a glyph exactly black.
    QFont bilevel = font;
    bilevel.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoAntialias));

    QPainter painter(&scratch);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(0, 0, kStampAreaWidth, kStampAreaHeight);
    painter.setFont(bilevel);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(0, kTextTop + painter.fontMetrics().ascent()), text);
    return scratch;
}

int stampScratch(VirtualArea& area, int scrollX, int scrollY, const QImage& scratch)
{
    const QImage pixels = scratch.convertToFormat(QImage::Format_RGB32);
    const int width = std::min(pixels.width(), kStampAreaWidth);
    const int height = std::min(pixels.height(), kStampAreaHeight);
    int found = 0;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (!isExactlyBlack(line[x]))
                continue;
            area.setDot(scrollX + x - kStampOffsetX, scrollY + y - kStampOffsetY, 1);
            ++found;
        }
    }
    return found;
}

int stampText(VirtualArea& area, int scrollX, int scrollY, const QString& text, const QFont& font)
{
    return stampScratch(area, scrollX, scrollY, renderStampScratch(text, font));
}

int shiftJisByteLength(const QString& text)
{
    QStringEncoder encoder("Shift_JIS");
    if (!encoder.isValid()) {
        // Without the codec every non-ASCII character is taken as double-byte,
        // which never lets a text past the limit.
        return static_cast<int>(std::count_if(text.begin(), text.end(),
                                              [](QChar c) { return c.unicode() >= 0x80; }) +
                                text.size());
    }
    const QByteArray bytes = encoder.encode(text);
    return static_cast<int>(bytes.size());
}

} // namespace lumidot
