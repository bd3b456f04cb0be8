#include "RQS-Kit/Effects/QSTextureCatalog.h"

#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Foundation/QSLocalizeHelper.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include <QMutex>

#include <algorithm>

namespace {

const QString TextureType = QStringLiteral("RQS-T");

double floored(double scale) { return std::max(scale, 0.1); }

} // namespace

QSTextureCatalog::QSTextureCatalog(const QString &type)
{
    const QString folder = rqs::directoryForResourceType(type);
    if (folder.isEmpty())
        return;
    for (const QString &path : rqs::graphicsBundle()->pathsForResourcesOfType(QStringLiteral("jpg"), folder))
        addTextureWithFileName(path);
}

std::shared_ptr<const QSTextureCatalog> QSTextureCatalog::shared()
{
    static QMutex mutex;
    static std::shared_ptr<const QSTextureCatalog> catalog;
    static QString madeFor;
    const QMutexLocker lock(&mutex);
    const QString path = rqs::graphicsBundle()->bundlePath();
    if (!catalog || madeFor != path) {
        catalog = std::make_shared<const QSTextureCatalog>(TextureType);
        madeFor = path;
    }
    return catalog;
}

QString QSTextureCatalog::plainColorName() { return QStringLiteral("Plain Color"); }

QStringList QSTextureCatalog::sharedTextureNames()
{
    QStringList names = shared()->textureIDNames();
    names << QSLocalizeHelper::localizedString(QStringLiteral("Paper -"))
          << QSLocalizeHelper::localizedString(QStringLiteral("Wood -"));
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QSLocalizeHelper::localizedString(a) < QSLocalizeHelper::localizedString(b);
    });
    names.removeDuplicates();
    names.prepend(QStringLiteral("-"));
    names.prepend(QSLocalizeHelper::localizedString(plainColorName()));
    return names;
}

QSTextureDescription QSTextureCatalog::descriptionForPath(const QString &path)
{
    QSTextureDescription d;
    d.filePath = path;
    QString options = rqs::resourceInfo(path).options();
    if (const qsizetype dollar = options.indexOf(QLatin1Char('$')); dollar >= 0) {
        d.baseScale = floored(options.mid(dollar + 1).toDouble());
        options.truncate(dollar);
    }
    if (const qsizetype hash = options.indexOf(QLatin1Char('#')); hash >= 0) {
        const QStringList numbers = options.mid(hash + 1).split(QLatin1Char('-'));
        double *fields[] = {&d.baseColor.hue, &d.baseColor.saturation, &d.baseColor.value, &d.baseScale};
        const double divisors[] = {360.0, 100.0, 100.0, 1.0};
        for (int i = 0; i < std::min<int>(int(numbers.size()), 4); ++i) {
            bool ok = false;
            const double n = numbers.at(i).toDouble(&ok);
            if (ok)
                *fields[i] = n / divisors[i];
        }
        // A scale of 0 would divide the texture's tile size by zero.
        d.baseScale = floored(d.baseScale);
        options.truncate(hash);
    }
    if (!options.isEmpty()) {
        const int digit = options.back().digitValue();
        if (digit > 0) {
            d.sections = unsigned(std::min(digit, 4));
            options.chop(1);
        }
    }
    if (!options.isEmpty()) {
        d.shouldScale = options.back() == QLatin1Char('S');
        d.repeating = options.back() == QLatin1Char('R');
    }
    return d;
}

void QSTextureCatalog::addTextureWithFileName(const QString &path)
{
    const QSResourceInfo info = rqs::resourceInfo(path);
    const QString idName = rqs::resourceIDNameFor(info);
    m_idNames.append(idName);
    m_names.insert(info.name(), idName);
    m_ids.insert(rqs::resourceIDForType(info.type(), info.index()), idName);
    m_details.insert(idName, descriptionForPath(path));
}

const QSTextureDescription *QSTextureCatalog::textureForName(QString &name) const
{
    if (const auto found = m_details.constFind(name); found != m_details.cend())
        return &*found;
    const QSResourceInfo info = rqs::resourceInfo(name);
    name = m_ids.value(rqs::resourceIDForType(info.type(), info.index()));
    if (const auto found = m_details.constFind(name); found != m_details.cend())
        return &*found;
    name = m_names.value(info.name());
    if (const auto found = m_details.constFind(name); found != m_details.cend())
        return &*found;
    name.clear();
    return nullptr;
}
