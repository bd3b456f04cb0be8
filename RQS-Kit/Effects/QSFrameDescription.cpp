#include "RQS-Kit/Effects/QSFrameDescription.h"

#include "RQS-Kit/Effects/QSCombinedShadeDescription.h"
#include "RQS-Kit/Effects/QSTextureCatalog.h"
#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Foundation/FxColorExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Foundation/UndoManagerExtension.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace {

const QString ShadeIntensityUndoKey = QStringLiteral("shadeIntensityUndoDescription");
const QStringList KnownKeys{"Name", "Texture", "Texture.Color", "TextureFillMode", "ExternalMask",
                            "InternalMask", "ImageMask", "Inset", "Shades"};

} // namespace

double QSFrameDescription::fraction(double value, double fallback, const char *key) const
{
    const double kept = std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : fallback;
    if (kept != value)
        platform::logWarning(QStringLiteral("Frame '%1' takes no \"%2\" of %3: it is %4")
                                 .arg(m_name, QLatin1String(key)).arg(value).arg(kept));
    return kept;
}

QSFrameDescription::QSFrameDescription(const QVariantMap &d, const QString &bundlePath, bool editable)
    : m_bundlePath(bundlePath), m_editable(editable)
{
    m_name = d.value("Name").toString();
    m_externalMask = d.value("ExternalMask").toString();
    m_internalMask = d.value("InternalMask").toString();
    m_imageMask = d.value("ImageMask").toString();
    const QString texture = d.value("Texture").toString();
    setTextureName(texture);
    // A texture this installation lacks stays in the user's file, as missing shades do.
    if (m_textureName.isEmpty() && !texture.isEmpty() && texture != QSTextureCatalog::plainColorName())
        m_unknownEntries.insert("Texture", d.value("Texture"));
    if (const auto color = platform::fx::Color::fromText(d.value("Texture.Color").toString()))
        m_textureColor = *color;
    m_fillMode = d.value("TextureFillMode").toInt();
    if (d.contains("Inset"))
        setInset(d.value("Inset").toDouble());
    const QVariant shades = d.value("Shades");
    // Anything but a list is kept as it was read: a conversion would make a value that cannot be
    // written back, and every later save of the catalog would fail.
    if (shades.isValid() && shades.typeId() != QMetaType::QVariantList) {
        platform::logError(QStringLiteral("The shades of frame '%1' are no list; they are kept as they are").arg(m_name));
        m_unknownEntries.insert("Shades", shades);
    }
    for (const QVariant &entry : shades.typeId() == QMetaType::QVariantList ? shades.toList() : QVariantList()) {
        const QVariantMap shade = entry.toMap();
        auto description = shadeNamed(shade.value("Shade").toString(), shade.value("BlendMode").toString(),
                                      fraction(shade.value("Intensity").toDouble(), 0, "Intensity"));
        if (description) {
            m_shades.append(description);
        } else {
            // Kept for the next save: a shade missing from this bundle is not the user's loss.
            platform::logError(QStringLiteral("Did not find Shade '%1'").arg(shade.value("Shade").toString()));
            m_unknownShades.append(entry);
        }
    }
    for (auto it = d.cbegin(); it != d.cend(); ++it) {
        if (!KnownKeys.contains(it.key()))
            m_unknownEntries.insert(it.key(), it.value());
    }
}

QVariantMap QSFrameDescription::saveDictionary() const
{
    QVariantMap d = m_unknownEntries;
    d.insert("Name", m_name.isNull() ? QString("") : m_name);
    if (!m_textureName.isEmpty())
        d.insert("Texture", m_textureName);
    d.insert("Texture.Color", m_textureColor.text());
    d.insert("TextureFillMode", qlonglong(m_fillMode));
    for (const auto &[key, value] : {std::pair{"ExternalMask", m_externalMask}, {"InternalMask", m_internalMask},
                                     {"ImageMask", m_imageMask}}) {
        if (!value.isEmpty())
            d.insert(key, value);
    }
    d.insert("Inset", m_inset);
    QVariantList shades;
    for (const auto &shade : m_shades)
        shades.append(QVariantMap{
            {"Shade", shade->name()}, {"BlendMode", shade->blendMode()}, {"Intensity", shade->intensity()}});
    shades += m_unknownShades;
    if (!shades.isEmpty())
        d.insert("Shades", shades);
    return d;
}

QUrl QSFrameDescription::urlForResourceID(const QString &identifier, const QString &folder) const
{
    // Only a prefix of a file in a folder of the bundle itself: never a path.
    const QString clean = QDir::cleanPath(folder);
    if (identifier.isEmpty() || identifier.contains(QLatin1Char('/')) || QDir::isAbsolutePath(folder)
        || clean == QLatin1String("..") || clean.startsWith(QLatin1String("../")))
        return {};
    return rqs::URLForImageResourceIn(m_bundlePath, identifier, clean, {});
}

QUrl QSFrameDescription::urlForShadeName(const QString &name) const
{
    return urlForResourceID(name, rqs::directoryForResourceType(QStringLiteral("FRM-S")));
}

QString QSFrameDescription::pathForResourceID(const QString &identifier, const QString &type) const
{
    return urlForResourceID(identifier, rqs::directoryForResourceType(type)).toLocalFile();
}

std::shared_ptr<QSShadeDescription> QSFrameDescription::shadeNamed(const QString &identifier, const QString &blendMode,
                                                                   double intensity) const
{
    const QString path = urlForShadeName(identifier).toLocalFile();
    return path.isEmpty() ? nullptr : std::make_shared<QSShadeDescription>(path, blendMode, intensity);
}

void QSFrameDescription::registerUndo(const QString &actionName, std::function<void()> inverse)
{
    // A step replayed keeps its name for the way back.
    if (m_undoManager && m_undoManager->registerUndo(this, std::move(inverse)) && !m_undoManager->isUndoing()
        && !m_undoManager->isRedoing())
        m_undoManager->setActionName(actionName);
}

void QSFrameDescription::sendChangeNotification(int bits)
{
    if (bits & Shades)
        m_optimized.reset();
    if (bits & Masks)
        m_mask.reset();
    if (!m_postsChanges && !m_undoManager)
        return;
    auto *center = platform::NotificationCenter::defaultCenter();
    if (bits & Shades)
        center->post(QStringLiteral("FrameShadeChanged"), this);
    if (bits & Texture)
        center->post(QStringLiteral("FrameTextureChanged"), this);
    if (bits & Masks)
        center->post(QStringLiteral("FrameMaskChanged"), this);
    center->post(QStringLiteral("FrameChanged"), this);
    // Editors refresh on this, since a replayed change does not pass through them.
    if (m_undoManager && (m_undoManager->isUndoing() || m_undoManager->isRedoing()))
        center->post(QStringLiteral("FrameUndo"), this);
}

void QSFrameDescription::setTextureName(const QString &name) { setTexture(name, std::nullopt); }

void QSFrameDescription::setTexture(const QString &name, const std::optional<platform::fx::Color> &color)
{
    QString resolved = name;
    const QSTextureDescription *texture = QSTextureCatalog::shared()->textureForName(resolved);
    // The old colour comes back too: it may have been the user's own, not the texture's.
    registerUndo(rqs::localized(QStringLiteral("setTextureName:")),
                 [this, oldName = m_textureName, oldColor = m_textureColor] { setTexture(oldName, oldColor); });
    m_textureName = resolved;
    m_unknownEntries.remove("Texture");
    m_textureColor = color ? *color : texture ? rqs::colorForHSV(texture->baseColor) : platform::fx::Color{0, 0, 0, 1};
    sendChangeNotification(Texture);
}

void QSFrameDescription::setTextureColor(const platform::fx::Color &color)
{
    registerUndo(rqs::localized(QStringLiteral("setTextureColor:")),
                 [this, old = m_textureColor] { setTextureColor(old); });
    m_textureColor = color;
    sendChangeNotification(Texture);
}

void QSFrameDescription::setTextureFillMode(int mode)
{
    registerUndo(rqs::localized(QStringLiteral("setTextureFillModeValue:")),
                 [this, old = m_fillMode] { setTextureFillMode(old); });
    m_fillMode = mode;
    sendChangeNotification(Texture);
}

void QSFrameDescription::setExternalMaskName(const QString &name)
{
    registerUndo(rqs::localized(QStringLiteral("setExternalMaskName:")),
                 [this, old = m_externalMask] { setExternalMaskName(old); });
    m_externalMask = name;
    sendChangeNotification(Masks);
}

void QSFrameDescription::setInternalMaskName(const QString &name)
{
    registerUndo(rqs::localized(QStringLiteral("setInternalMaskName:")),
                 [this, old = m_internalMask] { setInternalMaskName(old); });
    m_internalMask = name;
    sendChangeNotification(Masks);
}

void QSFrameDescription::insertShade(std::shared_ptr<QSShadeDescription> shade, int index)
{
    if (!shade || index < 0 || index > m_shades.size())
        return;
    // Taken out wherever it stands by then.
    registerUndo(rqs::localized(QStringLiteral("undoAddShade:")),
                 [this, shade] { removeShadeAtIndex(int(m_shades.indexOf(shade))); });
    m_shades.insert(index, std::move(shade));
    sendChangeNotification(Shades);
}

void QSFrameDescription::removeShadeAtIndex(int index)
{
    if (index < 0 || index >= m_shades.size())
        return;
    registerUndo(rqs::localized(QStringLiteral("undoRemoveShade:")),
                 [this, shade = m_shades.at(index), index] { insertShade(shade, index); });
    m_shades.removeAt(index);
    sendChangeNotification(Shades);
}

void QSFrameDescription::addShade(std::shared_ptr<QSShadeDescription> shade)
{
    insertShade(std::move(shade), int(m_shades.size()));
}

bool QSFrameDescription::setShadeName(const QString &name, int index)
{
    if (index < 0 || index >= m_shades.size()) {
        platform::logWarning(QStringLiteral("Frame '%1' has no shade %2 to name").arg(m_name).arg(index));
        return false;
    }
    const QString path = urlForShadeName(name).toLocalFile();
    if (path.isEmpty()) {
        platform::logWarning(QStringLiteral("Frame '%1' found no shade '%2'").arg(m_name, name));
        return false;
    }
    registerUndo(rqs::localized(QStringLiteral("undoSetShadeName:")), [this, old = m_shades.at(index)->name(), index] {
        setShadeName(old, index);
    });
    m_shades[index]->setImagePath(path);
    sendChangeNotification(Shades);
    return true;
}

void QSFrameDescription::setShadeIntensity(double intensity, int index)
{
    if (index < 0 || index >= m_shades.size())
        return;
    rqs::registerMouseAwareUndoWithTarget(
        m_undoManager, this,
        QVariantMap{{QStringLiteral("undoObject"), m_shades.at(index)->intensity()}, {QStringLiteral("undoIndex"), index}},
        ShadeIntensityUndoKey, false);
    m_shades[index]->setIntensity(fraction(intensity, m_shades.at(index)->intensity(), "Intensity"));
    sendChangeNotification(Shades);
}

void QSFrameDescription::setShadeIntensityUndoDescription(const QVariantMap &description)
{
    bool isIndex = false, isNumber = false;
    const int index = description.value(QStringLiteral("undoIndex")).toInt(&isIndex);
    const double intensity = description.value(QStringLiteral("undoObject")).toDouble(&isNumber);
    if (!isIndex || !isNumber || index < 0 || index >= m_shades.size()) {
        platform::logWarning(QStringLiteral("Frame '%1' has no shade to undo an intensity change of").arg(m_name));
        return;
    }
    setShadeIntensity(intensity, index);
}

bool QSFrameDescription::setValueForKey(const QString &key, const QVariant &value)
{
    if (key != ShadeIntensityUndoKey)
        return platform::KeyValue::setPropertyValue(this, key, value);
    if (value.typeId() != QMetaType::QVariantMap) {
        platform::logWarning(QStringLiteral("Frame '%1' takes the key %2 as a dictionary only").arg(m_name, key));
        return false;
    }
    setShadeIntensityUndoDescription(value.toMap());
    return true;
}

void QSFrameDescription::setShadeBlendMode(const QString &mode, int index)
{
    if (index < 0 || index >= m_shades.size())
        return;
    registerUndo(rqs::localized(QStringLiteral("undoSetShadeBlendMode:")),
                 [this, old = m_shades.at(index)->blendMode(), index] { setShadeBlendMode(old, index); });
    m_shades[index]->setBlendMode(mode);
    sendChangeNotification(Shades);
}

std::shared_ptr<const QSMaskDescription> QSFrameDescription::mask() const
{
    if (m_mask || (m_externalMask.isEmpty() && m_internalMask.isEmpty()))
        return m_mask;
    const QString external = pathForResourceID(rqs::resourceID(m_externalMask), QStringLiteral("FRM-E"));
    QString internal = pathForResourceID(rqs::resourceID(m_internalMask), QStringLiteral("FRM-I"));
    if (internal.isEmpty())
        internal = pathForResourceID(QStringLiteral("FRM-I#000#"), QStringLiteral("FRM-I"));
    m_mask = std::make_shared<const QSMaskDescription>(external, internal);
    return m_mask;
}

void QSFrameDescription::setInset(double inset) { m_inset = fraction(inset, m_inset, "Inset"); }

void QSFrameDescription::setImageMaskName(const QString &name)
{
    // A mask made for the old name would go on being drawn.
    if (name != m_imageMask)
        m_imageMaskDescription.reset();
    m_imageMask = name;
}

std::shared_ptr<const QSFrameImageDescription> QSFrameDescription::imageMask() const
{
    if (m_imageMaskDescription || m_imageMask.isEmpty())
        return m_imageMaskDescription;
    const QString path = pathForResourceID(rqs::resourceID(m_imageMask), QStringLiteral("FRM-M"));
    if (!path.isEmpty())
        m_imageMaskDescription = std::make_shared<const QSFrameImageDescription>(path);
    return m_imageMaskDescription;
}

const QList<std::shared_ptr<QSShadeDescription>> &QSFrameDescription::optimizedShades() const
{
    if (m_optimized)
        return *m_optimized;
    QList<std::shared_ptr<QSShadeDescription>> result;
    std::shared_ptr<QSShadeDescription> current;
    for (const auto &shade : m_shades) {
        if (current && QSCombinedShadeDescription::canJoin(*current, *shade)) {
            auto combined = std::dynamic_pointer_cast<QSCombinedShadeDescription>(current);
            if (!combined) {
                combined = std::make_shared<QSCombinedShadeDescription>(current->imagePath(), current->blendMode(),
                                                                        current->intensity());
                current = combined;
            }
            combined->add(*shade);
        } else {
            if (current)
                result.append(current);
            current = shade;
        }
    }
    if (current)
        result.append(current);
    for (const auto &shade : result) {
        if (const auto combined = std::dynamic_pointer_cast<QSCombinedShadeDescription>(shade))
            combined->fixImages();
    }
    m_optimized = result;
    return *m_optimized;
}
