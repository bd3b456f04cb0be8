#include "RQS-Kit/Controls/QSSymbolRegistry.h"

#include <QHash>

#include <utility>

namespace {

using Key = std::pair<QString, QString>;

Key keyOf(const QString &kitName, const QString &operationName) { return {kitName, operationName}; }

QHash<Key, QSSymbolRegistry::Drawing> &drawings()
{
    static QHash<Key, QSSymbolRegistry::Drawing> registered;
    return registered;
}

QHash<Key, QSSymbolRegistry::ShadowMaker> &shadows()
{
    static QHash<Key, QSSymbolRegistry::ShadowMaker> registered;
    return registered;
}

QHash<Key, QSSymbolRegistry::GeneralDrawing> &generalDrawings()
{
    static QHash<Key, QSSymbolRegistry::GeneralDrawing> registered;
    return registered;
}

} // namespace

void QSSymbolRegistry::registerOperation(const QString &kitName, const QString &operationName, Drawing drawing)
{
    drawings().insert(keyOf(kitName, operationName), std::move(drawing));
}

void QSSymbolRegistry::registerShadow(const QString &kitName, const QString &operationName, ShadowMaker shadow)
{
    shadows().insert(keyOf(kitName, operationName), std::move(shadow));
}

bool QSSymbolRegistry::hasOperation(const QString &kitName, const QString &operationName)
{
    return drawings().contains(keyOf(kitName, operationName));
}

bool QSSymbolRegistry::draw(const QString &kitName, const QString &operationName, const QSizeF &size)
{
    const auto found = drawings().constFind(keyOf(kitName, operationName));
    if (found == drawings().constEnd() || !*found)
        return false;
    (*found)(size);
    return true;
}

std::optional<platform::Shadow> QSSymbolRegistry::shadow(const QString &kitName, const QString &operationName)
{
    const auto found = shadows().constFind(keyOf(kitName, operationName));
    if (found == shadows().constEnd() || !*found)
        return std::nullopt;
    return (*found)();
}

void QSSymbolRegistry::registerGeneralOperation(const QString &kitName, const QString &operationName, GeneralDrawing drawing)
{
    generalDrawings().insert(keyOf(kitName, operationName), std::move(drawing));
}

bool QSSymbolRegistry::hasGeneralOperation(const QString &kitName, const QString &operationName)
{
    return generalDrawings().contains(keyOf(kitName, operationName));
}

bool QSSymbolRegistry::drawGeneral(const QString &kitName, const QString &operationName, const QSizeF &size, double state, bool on)
{
    const auto found = generalDrawings().constFind(keyOf(kitName, operationName));
    if (found == generalDrawings().constEnd() || !*found)
        return false;
    (*found)(size, state, on);
    return true;
}
