#include "RQS-Kit/Effects/QSPictureShadowFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Effects/QSNamedPictures.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"

#include <QFileInfo>

#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSPictureShadowFilter");
const QString ShadowType = QStringLiteral("RQS-S");

} // namespace

QSPictureShadowFilter::QSPictureShadowFilter()
    : QSFilter(ClassName, [] {
        InputAttribute name{QStringLiteral("inputShadowName"), InputAttribute::Kind::String};
        name.choices = rqs::namedPictureNames(ShadowType);
        if (!name.choices.isEmpty())
            name.defaultValue = name.choices.last();
        return QList<InputAttribute>{{QStringLiteral("inputImage"), InputAttribute::Kind::Image}, name};
    }())
{
    setChoicesSource(QStringLiteral("inputShadowName"), [] { return rqs::namedPictureNames(ShadowType); });
    connect(this, &Filter::keyValueChanged, this, [this](const QString &key) {
        if (key == QLatin1String("inputShadowName") && !m_loading)
            loadShadow();
    });
}

void QSPictureShadowFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerInputKeys<QSPictureShadowFilter>({QStringLiteral("inputImage"), QStringLiteral("inputShadowName")});
        registerFilterClass<QSPictureShadowFilter>();
    });
}

void QSPictureShadowFilter::loadShadow()
{
    const QString name = value(QStringLiteral("inputShadowName")).toString();
    m_shadowMargin = {};
    m_shadowImage = {};
    if (name.isEmpty())
        return;
    const QSResourceInfo info = rqs::resourceInfo(name);
    const QString path = rqs::namedPicturePath(ShadowType, rqs::resourceIDForType(info.type(), info.index()));
    const QSResourceInfo found = rqs::resourceInfo(QFileInfo(path).fileName());
    if (!path.isEmpty() && !found.type().isEmpty()) {
        m_loading = true;
        setValueForKey(QStringLiteral("inputShadowName"), rqs::resourceIDNameFor(found));
        m_loading = false;
    }
    const std::optional<QList<double>> margin = rqs::layoutNumbers(found.options(), 2);
    if (!margin) {
        const QStringList parts = found.options().isEmpty() ? QStringList() : found.options().split(QLatin1Char('-'));
        platform::logError(QStringLiteral("Shadow %1 has wrong number of Name-Components %2 (%3)")
                               .arg(name)
                               .arg(parts.size())
                               .arg(parts.join(QStringLiteral(", "))));
    }
    if (path.isEmpty()) {
        platform::logWarning(QStringLiteral("Shadow Picture '%1' not found").arg(name));
        return;
    }
    if (!margin)
        return;
    m_shadowImage = Image::fromFile(path);
    m_shadowMargin = QSizeF((*margin)[0], (*margin)[1]);
}

Image QSPictureShadowFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const QRectF p = input.extent();
    const double span = m_shadowImage.extent().width() - m_shadowMargin.width();
    // A shadow no wider than its margin cannot reach the picture's right edge.
    if (input.isNull() || m_shadowImage.isNull() || span <= 0)
        return input;
    const double k = p.width() / span;
    const Image placed = m_shadowImage.transformed(
        QTransform::fromScale(k, k)
        * QTransform::fromTranslate(p.x() - m_shadowMargin.width() * k, p.y() - m_shadowMargin.height() * k));
    return rqs::applyFilter(QStringLiteral("CISourceOverCompositing"),
                            {{QStringLiteral("inputImage"), rqs::imageValue(input)},
                             {QStringLiteral("inputBackgroundImage"), rqs::imageValue(placed)}});
}
