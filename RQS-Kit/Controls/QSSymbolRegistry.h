#pragma once

#include "platform/graphics/Shadow.h"

#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>

// The drawing kits' operations by name, so that a symbol button of an interface file can name the
// kit and the symbol it draws. A kit registers its operations under its class name at start-up:
// drawings ("drawPaperPreviewHoverWithSize") that draw into the current graphics context, and
// shadows ("shadowForPaperPreviewHover"). Main thread only.
class QSSymbolRegistry
{
public:
    // The size is the button's; a drawing of a fixed size ignores it.
    using Drawing = std::function<void(const QSizeF &size)>;
    using ShadowMaker = std::function<platform::Shadow()>;
    // One drawing for every state: the size, the visual state (0.0 to 3.0) and the on flag.
    using GeneralDrawing = std::function<void(const QSizeF &size, double state, bool on)>;

    // A later registration of the same kit and name replaces the earlier one.
    static void registerOperation(const QString &kitName, const QString &operationName, Drawing drawing);
    static void registerShadow(const QString &kitName, const QString &operationName, ShadowMaker shadow);
    // Kept apart from the per-state drawings, whose names it may share ("draw<Symbol>WithSize").
    static void registerGeneralOperation(const QString &kitName, const QString &operationName, GeneralDrawing drawing);

    static bool hasOperation(const QString &kitName, const QString &operationName);
    // False when the kit has no such drawing.
    static bool draw(const QString &kitName, const QString &operationName, const QSizeF &size);
    static bool hasGeneralOperation(const QString &kitName, const QString &operationName);
    static bool drawGeneral(const QString &kitName, const QString &operationName, const QSizeF &size, double state, bool on);
    // None when the kit has no such shadow.
    static std::optional<platform::Shadow> shadow(const QString &kitName, const QString &operationName);

    QSSymbolRegistry() = delete;
};
