#pragma once

#include "platform/graphics/Shadow.h"

#include <QColor>
#include <QGradientStops>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>

// The application's drawing kit: named colours, gradients and shadows, made once per process,
// and fixed artwork painted into the current graphics context (y-up unless the calling view is
// flipped). Every drawing keeps its clips, shadows and transformations inside a saved state; the
// fill and stroke it leaves behind are its own.
//
// A gradient is a list of colour stops from 0 to 1; a gradient drawn "at an angle" runs through
// its rectangle in that direction (degrees, counter-clockwise from the x axis), its first colour
// at the rectangle's trailing edge.
class VXStyleKit
{
public:
    VXStyleKit() = delete;

    static QColor paperGradientBottomColor();
    static QColor paperGradientBottomHoverColor();
    static QColor paperStrokeColor();
    static QColor blueprintColor();
    static QColor blueprintDarkColor();
    static QColor blueprintShadowColor();
    static QColor factoryRowStateBkgGradient1Color();
    static QColor factoryRowStateBkgGradient1Color2();
    static QColor factoryRowStateBkgGradient2Color1();
    static QColor factoryRowStateBkgGradient2Color2();
    static QColor factoryRowStateBkgGradient3Color1();
    static QColor factoryRowStateBkgGradient3Color2();

    static QGradientStops blueprintGradient();
    // Darker colour first, lighter last.
    static QGradientStops factoryRowStateBkgGradientWaiting();
    static QGradientStops factoryRowStateBkgGradientSuccess();
    static QGradientStops factoryRowStateBkgGradientFailed();

    static platform::Shadow pageShadow();
    static platform::Shadow shadowForPaperPreview();
    static platform::Shadow shadowForPaperPreviewHover();
    static platform::Shadow shadowForPaperPreviewDown();
    static platform::Shadow shadowForBooklet();
    static platform::Shadow shadowForPagePreview();

    // The paper-preview button face: a paper gradient left and right of a dashed fold, with a
    // circular arrow turned by the angle (degrees) near the fold.
    static void drawPaperPreviewPrototypeWithPaperFrame(const QRectF &paperFrame,
                                                        const QGradientStops &paperPrototypeGradient, double angle);
    static void drawPaperPreviewWithSize(const QSizeF &size);
    static void drawPaperPreviewHoverWithSize(const QSizeF &size);
    static void drawPaperPreviewDownWithSize(const QSizeF &size);
    static void drawPaperPreviewDisabledWithSize(const QSizeF &size);
    static void drawPagePreviewWithSize(const QSizeF &size);
    // The fold shadow of a double page: widths in points either side of the middle of the size.
    static void drawPageSelfShadowsWithSize(const QSizeF &size, double leftSelfShadowWidth, double rightSelfShadowWidth);
    // The add-pages button face: the gradient with a plus sign in the glyph colour.
    static void drawAddPagesPrototypeWithAddPagesFrame(const QRectF &addPagesFrame, const QColor &parameter,
                                                       const QGradientStops &paperPrototypeGradient);
    static void drawAddPagesWithSize(const QSizeF &size);
    static void drawAddPagesHoverWithSize(const QSizeF &size);
    static void drawAddPagesDownWithSize(const QSizeF &size);
    static void drawAddPagesDisabledWithSize(const QSizeF &size);
    // One staple mark: faint cross hairs through the frame and the staple's two legs, dashed.
    static void drawStapleMarkWithFrame(const QRectF &frame);
    static void drawBlueprintWithSize(const QSizeF &size);
    static void drawFeatureBarWithFrame2(const QRectF &frame2);
    static void drawTestingArea();
    static void drawFactoryRowBkgWithFrame(const QRectF &frame);
    static void drawFactoryRowStateBkgWithFrame(const QRectF &frame, const QGradientStops &gradient);

    // The button faces by the names a symbol button asks for: "draw", the symbol ("PaperPreview",
    // "AddPages"), the state ("", "Hover", "Down", "Disabled") and "WithSize". Empty when the kit
    // has no such drawing.
    using SymbolDrawing = std::function<void(const QSizeF &size)>;
    static SymbolDrawing drawingNamed(const QString &name);
    // A state's shadow by "shadowFor", the symbol and the state; nullopt when the kit has none,
    // so the button keeps its own.
    static std::optional<platform::Shadow> shadowNamed(const QString &name);
    // Makes those drawings and shadows known to symbol buttons under the kit name "VXStyleKit".
    static void registerSymbols();
};
