#include "app/booklet/VXStyleKit.h"

#include "RQS-Kit/Controls/QSSymbolRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

QColor grey(double white, double alpha = 1) { return QColor::fromRgbF(float(white), float(white), float(white), float(alpha)); }
QColor rgb(double red, double green, double blue) { return QColor::fromRgbF(float(red), float(green), float(blue)); }

// The fraction of the way from the colour to white, or to black; alpha is kept.
QColor blended(const QColor &colour, double fraction, double towards)
{
    auto mix = [&](float c) { return float(c + (towards - c) * fraction); };
    return QColor::fromRgbF(mix(colour.redF()), mix(colour.greenF()), mix(colour.blueF()), colour.alphaF());
}
QColor lightened(const QColor &colour, double fraction) { return blended(colour, fraction, 1); }
QColor darkened(const QColor &colour, double fraction) { return blended(colour, fraction, 0); }

QGradientStops twoColours(const QColor &start, const QColor &end) { return {{0, start}, {1, end}}; }

platform::Shadow shadow(const QColor &colour, QSizeF offset, double blurRadius) { return {colour, offset, blurRadius}; }

struct Palette
{
    QColor paperGradientBottom = grey(0.937);
    QColor paperGradientBottomHover = lightened(paperGradientBottom, 0.4);
    QColor paperStroke = grey(0.667);
    QColor blueprint = rgb(0.208, 0.575, 1.0);
    QColor blueprintDark = darkened(blueprint, 0.5);
    QColor blueprintShadow = darkened(blueprint, 0.7);
    QColor rowBlue = rgb(0.29, 0.565, 0.886);
    QColor rowBlueDark = darkened(rowBlue, 0.2);
    QColor rowGreen = rgb(0.494, 0.827, 0.129);
    QColor rowGreenDark = darkened(rowGreen, 0.2);
    QColor rowRed = rgb(0.816, 0.008, 0.106);
    QColor rowRedDark = darkened(rowRed, 0.2);

    QGradientStops blueprintGradient = twoColours(blueprint, blueprintDark);
    QGradientStops waiting = twoColours(rowBlueDark, rowBlue);
    QGradientStops success = twoColours(rowGreenDark, rowGreen);
    QGradientStops failed = twoColours(rowRedDark, rowRed);

    platform::Shadow page = shadow(grey(0), {1.1, -1.1}, 3.0);
    platform::Shadow paperPreview = shadow(grey(0, 0.4), {1.1, 1.1}, 1.0);
    platform::Shadow paperPreviewHover = shadow(grey(0, 0.4), {0.1, 0.1}, 1.0);
    platform::Shadow paperPreviewDown = shadow(grey(0, 0.6), {0.1, 0.1}, 1.0);
    platform::Shadow booklet = shadow(blueprintShadow, {2.1, -2.1}, 5.0);
    platform::Shadow pagePreview = shadow(grey(0, 0.2), {0.1, -1.1}, 3.0);
};

const Palette &palette()
{
    static const Palette shared;
    return shared;
}

platform::GraphicsContext *target()
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        platform::logWarning(QStringLiteral("No graphics context for the style kit to draw into"));
    return context;
}

QBrush linear(const QGradientStops &stops, QPointF start, QPointF end)
{
    QLinearGradient gradient(start, end);
    gradient.setStops(stops);
    gradient.setSpread(QGradient::PadSpread);
    return gradient;
}

// A gradient through the rectangle at the angle, reaching its corners at both ends.
QBrush linearAtAngle(const QGradientStops &stops, const QRectF &rect, double degrees)
{
    const double radians = degrees * M_PI / 180;
    const QPointF direction(std::cos(radians), std::sin(radians));
    const double half = (std::abs(rect.width() * direction.x()) + std::abs(rect.height() * direction.y())) / 2;
    return linear(stops, rect.center() - direction * half, rect.center() + direction * half);
}

QPainterPath line(QPointF from, QPointF to)
{
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

void strokeLine(platform::GraphicsContext &context, QPointF from, QPointF to)
{
    context.strokePath(line(from, to));
}

// A level line in the colour, from `left` to `right` at `height`.
void strokeAcross(platform::GraphicsContext &context, const QColor &colour, double left, double right, double height)
{
    context.setStroke(colour);
    strokeLine(context, {left, height}, {right, height});
}

// Fills the rectangle inside a saved state clipped to it.
void fillClipped(platform::GraphicsContext &context, const QRectF &rect, const QBrush &fill)
{
    context.saveGState();
    context.clipToRect(rect);
    context.setFill(fill);
    context.fillRect(rect);
    context.restoreGState();
}

// A gradient straight up or down through the middle of the rectangle, between the two heights.
QBrush vertical(const QGradientStops &stops, const QRectF &rect, double from, double to)
{
    return linear(stops, {rect.center().x(), from}, {rect.center().x(), to});
}

// Draws inside a saved state clipped to (0, 0, size), as every sized button face does.
void inSize(const QSizeF &size, const std::function<void(const QRectF &)> &face)
{
    platform::GraphicsContext *context = target();
    if (!context)
        return;
    const QRectF frame(QPointF(0, 0), size);
    context->saveGState();
    context->clipToRect(frame);
    face(frame);
    context->restoreGState();
}

// Draws with the frame's origin and size, as every framed drawing does.
void inFrame(const QRectF &frame,
             const std::function<void(platform::GraphicsContext &context, double x, double y, double w, double h)> &drawing)
{
    platform::GraphicsContext *context = target();
    if (context)
        drawing(*context, frame.x(), frame.y(), frame.width(), frame.height());
}

// An arc about the origin with an arrow head where it ends, pointing on along the arc.
QPainterPath arrowArc(double radius, double startDegrees, double sweepDegrees)
{
    const QRectF circle(-radius, -radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.arcMoveTo(circle, startDegrees);
    path.arcTo(circle, startDegrees, sweepDegrees);
    const QPointF tip = path.currentPosition();
    // QPainterPath measures angles with y pointing down; the path's own space is y-up here.
    const double along = path.angleAtPercent(1) * M_PI / 180;
    const QPointF back(-std::cos(along), std::sin(along));
    constexpr double headLength = 4.5;
    constexpr double headSpread = 0.7;
    for (double turn : {headSpread, -headSpread}) {
        const QPointF wing(back.x() * std::cos(turn) - back.y() * std::sin(turn),
                           back.x() * std::sin(turn) + back.y() * std::cos(turn));
        path.moveTo(tip);
        path.lineTo(tip + wing * headLength);
    }
    return path;
}

// The paper of the button faces: the bottom colour rising to white.
QGradientStops paperGradient(const QColor &bottom) { return twoColours(bottom, Qt::white); }

void paperPreviewFace(const QSizeF &size, const QColor &paperBottom, double angle)
{
    inSize(size, [&](const QRectF &frame) {
        VXStyleKit::drawPaperPreviewPrototypeWithPaperFrame(frame, paperGradient(paperBottom), angle);
    });
}

void addPagesFace(const QSizeF &size, const QColor &glyph, const QColor &paperBottom)
{
    inSize(size, [&](const QRectF &frame) {
        VXStyleKit::drawAddPagesPrototypeWithAddPagesFrame(frame, glyph, paperGradient(paperBottom));
    });
}

const QColor addPagesGlyph = grey(0.256);

} // namespace

QColor VXStyleKit::paperGradientBottomColor() { return palette().paperGradientBottom; }
QColor VXStyleKit::paperGradientBottomHoverColor() { return palette().paperGradientBottomHover; }
QColor VXStyleKit::paperStrokeColor() { return palette().paperStroke; }
QColor VXStyleKit::blueprintColor() { return palette().blueprint; }
QColor VXStyleKit::blueprintDarkColor() { return palette().blueprintDark; }
QColor VXStyleKit::blueprintShadowColor() { return palette().blueprintShadow; }
QColor VXStyleKit::factoryRowStateBkgGradient1Color() { return palette().rowBlue; }
QColor VXStyleKit::factoryRowStateBkgGradient1Color2() { return palette().rowBlueDark; }
QColor VXStyleKit::factoryRowStateBkgGradient2Color1() { return palette().rowGreen; }
QColor VXStyleKit::factoryRowStateBkgGradient2Color2() { return palette().rowGreenDark; }
QColor VXStyleKit::factoryRowStateBkgGradient3Color1() { return palette().rowRed; }
QColor VXStyleKit::factoryRowStateBkgGradient3Color2() { return palette().rowRedDark; }

QGradientStops VXStyleKit::blueprintGradient() { return palette().blueprintGradient; }
QGradientStops VXStyleKit::factoryRowStateBkgGradientWaiting() { return palette().waiting; }
QGradientStops VXStyleKit::factoryRowStateBkgGradientSuccess() { return palette().success; }
QGradientStops VXStyleKit::factoryRowStateBkgGradientFailed() { return palette().failed; }

platform::Shadow VXStyleKit::pageShadow() { return palette().page; }
platform::Shadow VXStyleKit::shadowForPaperPreview() { return palette().paperPreview; }
platform::Shadow VXStyleKit::shadowForPaperPreviewHover() { return palette().paperPreviewHover; }
platform::Shadow VXStyleKit::shadowForPaperPreviewDown() { return palette().paperPreviewDown; }
platform::Shadow VXStyleKit::shadowForBooklet() { return palette().booklet; }
platform::Shadow VXStyleKit::shadowForPagePreview() { return palette().pagePreview; }

void VXStyleKit::drawPaperPreviewPrototypeWithPaperFrame(const QRectF &paperFrame,
                                                         const QGradientStops &paperPrototypeGradient, double angle)
{
    platform::GraphicsContext *context = target();
    if (!context)
        return;
    const double x = paperFrame.x();
    const double y = paperFrame.y();
    const double h = paperFrame.height();
    const double fold = std::floor((paperFrame.width() - 1) * 0.51759 + 0.5) + x;

    const QRectF paper(fold - 103, y, 200, h);
    context->setFill(linearAtAngle(paperPrototypeGradient, paper, -90));
    context->fillRect(paper);

    context->saveGState();
    context->translate(fold + 1, y + 0.48939 * h);
    context->rotate(angle * M_PI / 180);
    context->setStroke(Qt::black);
    context->setLineWidth(1);
    context->setLineCap(Qt::RoundCap);
    context->setLineJoin(Qt::RoundJoin);
    context->strokePath(arrowArc(10.5, 25, 130));
    context->strokePath(arrowArc(10.5, 205, 130));
    context->restoreGState();

    context->saveGState();
    context->setStroke(paperStrokeColor());
    context->setLineWidth(1);
    context->setLineDash({1, 2}, 0);
    strokeLine(*context, {fold + 0.5, y + h}, {fold + 0.5, y});
    context->restoreGState();
}

void VXStyleKit::drawPaperPreviewWithSize(const QSizeF &size)
{
    paperPreviewFace(size, paperGradientBottomColor(), 0);
}

void VXStyleKit::drawPaperPreviewHoverWithSize(const QSizeF &size)
{
    paperPreviewFace(size, paperGradientBottomHoverColor(), 10);
}

void VXStyleKit::drawPaperPreviewDownWithSize(const QSizeF &size)
{
    paperPreviewFace(size, paperGradientBottomHoverColor(), 90);
}

void VXStyleKit::drawPaperPreviewDisabledWithSize(const QSizeF &size) { drawPaperPreviewWithSize(size); }

void VXStyleKit::drawPagePreviewWithSize(const QSizeF &size)
{
    platform::GraphicsContext *context = target();
    if (!context)
        return;
    context->saveGState();
    context->setShadow(shadowForPaperPreviewHover());
    context->setFill(Qt::white);
    context->fillRect(QRectF(QPointF(5, 5), size));
    context->restoreGState();
}

void VXStyleKit::drawPageSelfShadowsWithSize(const QSizeF &size, double leftSelfShadowWidth,
                                             double rightSelfShadowWidth)
{
    platform::GraphicsContext *context = target();
    if (!context)
        return;
    const double fold = size.width() / 2;
    const QRectF right(fold, 0, rightSelfShadowWidth, size.height());
    context->setFill(linearAtAngle(twoColours(grey(0, 0.235), grey(0, 0)), right, 0));
    context->fillRect(right);
    const QRectF left(fold - leftSelfShadowWidth, 0, leftSelfShadowWidth, size.height());
    context->setFill(linearAtAngle(twoColours(grey(0, 0), grey(0, 0.313)), left, 0));
    context->fillRect(left);
}

void VXStyleKit::drawAddPagesPrototypeWithAddPagesFrame(const QRectF &addPagesFrame, const QColor &parameter,
                                                        const QGradientStops &paperPrototypeGradient)
{
    platform::GraphicsContext *context = target();
    if (!context)
        return;
    context->setFill(linearAtAngle(paperPrototypeGradient, addPagesFrame, -90));
    context->fillRect(addPagesFrame);

    const double gx = addPagesFrame.x() + std::floor((addPagesFrame.width() - 20) * 0.51111 + 0.5);
    const double gy = addPagesFrame.y() + std::floor((addPagesFrame.height() - 20) * 0.51538 + 0.5);
    QPainterPath upright;
    upright.addRoundedRect(QRectF(gx + 8, gy, 4, 20), 2, 2);
    QPainterPath across;
    across.addRoundedRect(QRectF(gx, gy + 8, 20, 4), 2, 2);
    context->setFill(parameter);
    context->fillPath(upright.united(across));
}

void VXStyleKit::drawAddPagesWithSize(const QSizeF &size)
{
    addPagesFace(size, addPagesGlyph, paperGradientBottomColor());
}

void VXStyleKit::drawAddPagesHoverWithSize(const QSizeF &size)
{
    addPagesFace(size, darkened(addPagesGlyph, 0.1), paperGradientBottomHoverColor());
}

void VXStyleKit::drawAddPagesDownWithSize(const QSizeF &size)
{
    addPagesFace(size, darkened(addPagesGlyph, 1.0), paperGradientBottomHoverColor());
}

void VXStyleKit::drawAddPagesDisabledWithSize(const QSizeF &size)
{
    addPagesFace(size, lightened(addPagesGlyph, 0.8), paperGradientBottomColor());
}

void VXStyleKit::drawStapleMarkWithFrame(const QRectF &frame)
{
    inFrame(frame, [&](platform::GraphicsContext &context, double x, double y, double w, double h) {
        context.saveGState();
        context.setStroke(grey(0, 0.196));
        context.setLineWidth(1);
        strokeLine(context, {x + w / 2, y + h}, {x + w / 2, y});
        strokeLine(context, {x + w, y + h / 2}, {x, y + h / 2});
        context.setLineDash({1, 1}, 0);
        for (double leg : {0.35, 0.675})
            strokeLine(context, {x + leg * w, y + 0.84559 * h}, {x + leg * w, y + 0.13971 * h});
        context.restoreGState();
    });
}

void VXStyleKit::drawBlueprintWithSize(const QSizeF &size)
{
    platform::GraphicsContext *context = target();
    if (!context)
        return;
    const QRectF area(QPointF(0, 0), size);
    const double scale = std::min(size.width() / 200, size.height() / 150);
    QRadialGradient gradient(area.center(), 98.69 * scale, area.center(), 21.69 * scale);
    gradient.setStops(blueprintGradient());
    gradient.setSpread(QGradient::PadSpread);
    fillClipped(*context, area, gradient);
}

void VXStyleKit::drawFeatureBarWithFrame2(const QRectF &frame2)
{
    inFrame(frame2, [&](platform::GraphicsContext &context, double x, double y, double w, double h) {
        const QRectF background(x, y, std::floor(w + 0.5), h);
        fillClipped(context, background, vertical(twoColours(grey(0.9), grey(0.803)), background, y + h, y));

        context.saveGState();
        context.setLineWidth(1);
        context.setLineCap(Qt::SquareCap);
        QPainterPath bottom(QPointF(x + 0.5, y + 0.5));
        bottom.lineTo(x + w - 0.5, y + 0.5);
        bottom.closeSubpath();
        context.setStroke(grey(0.626));
        context.strokePath(bottom);
        strokeAcross(context, grey(0.977), x + 0.5, x + w - 0.5, y + h - 1.5);
        strokeAcross(context, grey(0.602), x + 0.5, x + w - 0.5, y + h - 0.5);
        context.restoreGState();
    });
}

void VXStyleKit::drawTestingArea()
{
    platform::GraphicsContext *context = target();
    if (!context)
        return;
    context->saveGState();
    context->clipToRect(QRectF(234, 62, 200, 28));
    context->translate(234, 62);
    drawFeatureBarWithFrame2(QRectF(0, 0, 200, 28));
    context->restoreGState();
}

void VXStyleKit::drawFactoryRowBkgWithFrame(const QRectF &frame)
{
    inFrame(frame, [&](platform::GraphicsContext &context, double x, double y, double w, double h) {
        fillClipped(context, frame, vertical(twoColours(Qt::white, grey(0.92)), frame, y, y + h));

        context.saveGState();
        context.setLineWidth(1);
        strokeAcross(context, Qt::white, x, x + w, y + h - 0.5);
        strokeAcross(context, grey(1.0 / 3), x, x + w, y + 0.5);
        context.restoreGState();
    });
}

void VXStyleKit::drawFactoryRowStateBkgWithFrame(const QRectF &frame, const QGradientStops &gradient)
{
    inFrame(frame, [&](platform::GraphicsContext &context, double x, double y, double w, double h) {
        const QRectF state(x + 10, y + 1, w - 10, h - 1);
        fillClipped(context, state, vertical(gradient, state, y + 1, y + h));

        context.saveGState();
        context.setLineWidth(1);
        context.setLineCap(Qt::SquareCap);
        strokeAcross(context, grey(1, 0.511), x + 10.5, x + w - 0.5, y + h - 0.5);
        context.restoreGState();

        auto tag = [&](double dx) {
            QPainterPath path(QPointF(x + dx, y + h - 1));
            path.lineTo(x + dx + 10, y + h - 1);
            path.lineTo(x + dx + 18, y + h / 2);
            path.lineTo(x + dx + 10, y + 1);
            path.lineTo(x + dx, y + 1);
            path.closeSubpath();
            path.setFillRule(Qt::OddEvenFill);
            return path;
        };
        context.setFill(grey(0, 0.396));
        context.fillPath(tag(1));
        const QPainterPath label = tag(0);
        const QRectF box = label.boundingRect();
        context.setFill(vertical(twoColours(Qt::white, grey(0.92)), box, box.top(), box.bottom()));
        context.fillPath(label);
    });
}

namespace {

const QHash<QString, VXStyleKit::SymbolDrawing> &symbolDrawings()
{
    static const QHash<QString, VXStyleKit::SymbolDrawing> drawings{
        {QStringLiteral("drawPaperPreviewWithSize"), &VXStyleKit::drawPaperPreviewWithSize},
        {QStringLiteral("drawPaperPreviewHoverWithSize"), &VXStyleKit::drawPaperPreviewHoverWithSize},
        {QStringLiteral("drawPaperPreviewDownWithSize"), &VXStyleKit::drawPaperPreviewDownWithSize},
        {QStringLiteral("drawPaperPreviewDisabledWithSize"), &VXStyleKit::drawPaperPreviewDisabledWithSize},
        {QStringLiteral("drawAddPagesWithSize"), &VXStyleKit::drawAddPagesWithSize},
        {QStringLiteral("drawAddPagesHoverWithSize"), &VXStyleKit::drawAddPagesHoverWithSize},
        {QStringLiteral("drawAddPagesDownWithSize"), &VXStyleKit::drawAddPagesDownWithSize},
        {QStringLiteral("drawAddPagesDisabledWithSize"), &VXStyleKit::drawAddPagesDisabledWithSize},
    };
    return drawings;
}

const QHash<QString, platform::Shadow> &symbolShadows()
{
    static const QHash<QString, platform::Shadow> shadows{
        {QStringLiteral("shadowForPaperPreview"), VXStyleKit::shadowForPaperPreview()},
        {QStringLiteral("shadowForPaperPreviewHover"), VXStyleKit::shadowForPaperPreviewHover()},
        {QStringLiteral("shadowForPaperPreviewDown"), VXStyleKit::shadowForPaperPreviewDown()},
    };
    return shadows;
}

} // namespace

VXStyleKit::SymbolDrawing VXStyleKit::drawingNamed(const QString &name) { return symbolDrawings().value(name); }

std::optional<platform::Shadow> VXStyleKit::shadowNamed(const QString &name)
{
    const auto found = symbolShadows().constFind(name);
    if (found == symbolShadows().constEnd())
        return std::nullopt;
    return *found;
}

void VXStyleKit::registerSymbols()
{
    const QString kit = QStringLiteral("VXStyleKit");
    for (auto it = symbolDrawings().cbegin(); it != symbolDrawings().cend(); ++it)
        QSSymbolRegistry::registerOperation(kit, it.key(), it.value());
    for (auto it = symbolShadows().cbegin(); it != symbolShadows().cend(); ++it) {
        const platform::Shadow shadow = it.value();
        QSSymbolRegistry::registerShadow(kit, it.key(), [shadow] { return shadow; });
    }
}
