#include "platform/graphics/TextLayout.h"

#include <QImage>
#include <QPainter>
#include <QTextOption>

#include <algorithm>

namespace platform {

namespace {

// Fonts are resolved for this device, whose 72 dots per inch make a point one unit.
const QPaintDevice *pointDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
        return image;
    }();
    return &device;
}

// Unhinted, as text laid out in points is drawn at every scale and on paper. That also keeps its
// font engines apart from the screen's: Qt shares an engine between fonts of one pixel size, and a
// screen font of the same pixel size (9 points at 96 dpi are 12 points here) would then report
// this point size to QFontInfo, which the widget style draws menus with: too large, cut short.
QFont inPoints(QFont font)
{
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Wider than any line is set, within what Qt's fixed-point layout holds.
constexpr double unbounded = 1e6;

} // namespace

TextLayout::TextLayout(const QString &text, const TextAttributes &attributes, double width)
    : m_layout(QString(text).replace(QLatin1Char('\n'), QChar::LineSeparator), inPoints(attributes.font), pointDevice())
    , m_color(attributes.color)
{
    layOut(attributes, width, false);
}

TextLayout::TextLayout(const AttributedString &text, const TextAttributes &attributes, double width)
    : m_layout(QString(text.text).replace(QLatin1Char('\n'), QChar::LineSeparator), inPoints(attributes.font), pointDevice())
    , m_color(attributes.color)
{
    QList<QTextLayout::FormatRange> ranges = text.ranges;
    for (QTextLayout::FormatRange &range : ranges)
        range.format.setFontHintingPreference(QFont::PreferNoHinting);
    m_layout.setFormats(ranges);
    layOut(attributes, width, true);
}

void TextLayout::layOut(const TextAttributes &attributes, double width, bool withLeading)
{
    QTextOption option;
    // Unhinted advances, so that text keeps its proportions at every scale and on paper.
    option.setUseDesignMetrics(true);
    const bool wraps = width > 0;
    option.setWrapMode(wraps ? QTextOption::WordWrap : QTextOption::NoWrap);
    option.setAlignment(wraps ? attributes.alignment & Qt::AlignHorizontal_Mask : Qt::AlignLeft);
    m_layout.setTextOption(option);
    m_layout.setCacheEnabled(true);
    m_layout.beginLayout();
    double y = 0;
    double widest = 0;
    for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
        line.setLeadingIncluded(withLeading);
        line.setLineWidth(wraps ? width : unbounded);
        line.setPosition(QPointF(0, y));
        y += line.height();
        widest = std::max(widest, line.naturalTextWidth());
    }
    m_layout.endLayout();
    m_size = QSizeF(wraps ? width : widest, y);
}

double TextLayout::ascent() const
{
    return m_layout.lineCount() > 0 ? m_layout.lineAt(0).ascent() : 0;
}

QSizeF TextLayout::size() const { return m_size; }

QRectF TextLayout::bounds() const
{
    // Glyphs may overhang their advance (italics, accents), so allow a margin of the line height.
    const double margin = m_layout.lineCount() > 0 ? m_layout.lineAt(0).height() : 0;
    return m_layout.boundingRect().united(QRectF(QPointF(0, 0), m_size)).adjusted(-margin, -margin, margin, margin);
}

QList<QRectF> TextLayout::lineRects() const
{
    QList<QRectF> rects;
    for (int i = 0; i < m_layout.lineCount(); ++i) {
        const QTextLine line = m_layout.lineAt(i);
        rects.append(QRectF(line.x(), line.y(), line.naturalTextWidth(), line.height()));
    }
    return rects;
}

void TextLayout::draw(QPainter &painter, const QPointF &topLeft) const
{
    painter.setPen(QPen(m_color, 0));
    m_layout.draw(&painter, topLeft);
}

} // namespace platform
