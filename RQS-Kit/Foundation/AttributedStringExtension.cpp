#include "RQS-Kit/Foundation/AttributedStringExtension.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/TextLayout.h"

#include <QTextBoundaryFinder>

#include <cmath>
#include <limits>

namespace rqs {

namespace {

// Wider than this, lines are set whole: the layout holds no wider line anyway.
constexpr double wholeLines = 1e6;

platform::TextLayout layoutOf(const platform::AttributedString &string, double width)
{
    return platform::TextLayout(string, platform::TextAttributes(), width >= wholeLines ? 0 : width);
}

double drawnWidth(const platform::AttributedString &string)
{
    return platform::TextLayout(string, platform::TextAttributes()).size().width();
}

QList<qsizetype> characterBoundaries(const QString &text)
{
    QList<qsizetype> boundaries;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        boundaries.append(at);
    return boundaries;
}

// The first length code units of the string, then "…" in the format that stood at length.
platform::AttributedString withEllipsis(const platform::AttributedString &string, qsizetype length)
{
    platform::AttributedString shortened{string.text.left(length) + QChar(0x2026), {}};
    for (const QTextLayout::FormatRange &run : string.ranges) {
        const qsizetype end = std::min<qsizetype>(run.start + run.length, length);
        if (run.start < end)
            shortened.ranges.append({run.start, int(end - run.start), run.format});
        if (run.start <= length && length < run.start + run.length)
            shortened.ranges.append({int(length), 1, run.format});
    }
    return shortened;
}

} // namespace

double heightForWidth(const platform::AttributedString &string, double width)
{
    return std::ceil(layoutOf(string, width).size().height());
}

QSizeF sizeForWidth(const platform::AttributedString &string, double width, double height)
{
    if (string.text.isEmpty())
        return {};
    double widest = 0;
    double used = 0;
    for (const QRectF &line : layoutOf(string, width).lineRects()) {
        if (used + line.height() > height)
            break;
        used += line.height();
        widest = std::max(widest, line.width());
    }
    return {widest, used};
}

double widthForHeight(const platform::AttributedString &string, double height)
{
    return sizeForWidth(string, std::numeric_limits<float>::max(), height).width();
}

void drawCenteredVerticallyInRect(const platform::AttributedString &string, const QRectF &rect)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context) {
        platform::logWarning(QStringLiteral("Text \"%1\" was drawn without a graphics context").arg(string.text));
        return;
    }
    const double textHeight = heightForWidth(string, rect.width());
    context->drawText(string,
                      QRectF(rect.x(), rect.y() + rect.height() * 0.5 - 0.5 * textHeight, std::ceil(rect.width()), textHeight),
                      platform::TextAttributes());
}

platform::AttributedString truncatedStringWithWidth(const platform::AttributedString &string, int width)
{
    if (drawnWidth(string) <= width)
        return string;
    // The first try gives up the last two characters for the ellipsis.
    const QList<qsizetype> boundaries = characterBoundaries(string.text);
    for (qsizetype kept = boundaries.size() - 2; kept > 0; --kept) {
        platform::AttributedString shortened = withEllipsis(string, boundaries[kept - 1]);
        if (drawnWidth(shortened) <= width)
            return shortened;
    }
    return withEllipsis(string, 0);
}

} // namespace rqs
