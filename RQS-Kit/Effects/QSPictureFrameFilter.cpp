#include "RQS-Kit/Effects/QSPictureFrameFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Effects/QSNamedPictures.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"

#include <QDir>
#include <QFileInfo>

#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSPictureFrameFilter");
const QString FrameType = QStringLiteral("RQS-F");
const QString MaskMark = QStringLiteral("Mask");

} // namespace

QSPictureFrameFilter::QSPictureFrameFilter()
    : QSFilter(ClassName, [] {
        InputAttribute name{QStringLiteral("inputFrameName"), InputAttribute::Kind::String};
        name.choices = rqs::namedPictureNames(FrameType, MaskMark);
        if (!name.choices.isEmpty())
            name.defaultValue = name.choices.last();
        return QList<InputAttribute>{{QStringLiteral("inputImage"), InputAttribute::Kind::Image}, name};
    }())
{
    setChoicesSource(QStringLiteral("inputFrameName"), [] { return rqs::namedPictureNames(FrameType, MaskMark); });
    connect(this, &Filter::keyValueChanged, this, [this](const QString &key) {
        if (key == QLatin1String("inputFrameName") && !m_loading)
            loadFrame();
    });
}

void QSPictureFrameFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerInputKeys<QSPictureFrameFilter>({QStringLiteral("inputImage"), QStringLiteral("inputFrameName")});
        registerFilterClass<QSPictureFrameFilter>();
    });
}

void QSPictureFrameFilter::loadFrame()
{
    const QString name = value(QStringLiteral("inputFrameName")).toString();
    m_frameLayout = {};
    m_frameImage = m_maskImage = {};
    if (name.isEmpty())
        return;
    const QSResourceInfo info = rqs::resourceInfo(name);
    const QString path = rqs::namedPicturePath(FrameType, rqs::resourceIDForType(info.type(), info.index()), MaskMark);
    const QSResourceInfo found = rqs::resourceInfo(QFileInfo(path).fileName());
    const QString identifier = rqs::resourceIDNameFor(found);
    if (!path.isEmpty() && !found.type().isEmpty()) {
        m_loading = true;
        setValueForKey(QStringLiteral("inputFrameName"), identifier);
        m_loading = false;
    }
    const QStringList parts = found.options().isEmpty() ? QStringList() : found.options().split(QLatin1Char('-'));
    const std::optional<QList<double>> layout = rqs::layoutNumbers(found.options(), 4);
    if (!layout) {
        // Without its layout the frame cannot be placed: no frame rather than the last one's window.
        platform::logError(QStringLiteral("Picture Frame %1 has wrong number of Name-Components %2 (%3)")
                               .arg(name)
                               .arg(parts.size())
                               .arg(parts.join(QStringLiteral(", "))));
    }
    if (path.isEmpty()) {
        platform::logWarning(QStringLiteral("Picture Frame '%1' not found").arg(name));
        return;
    }
    if (!layout)
        return;
    m_frameImage = Image::fromFile(path);
    if (m_frameImage.isNull())
        return;
    m_frameLayout = QRectF((*layout)[0], (*layout)[1], (*layout)[2], (*layout)[3]);
    const QString maskPath = QFileInfo(path).dir().filePath(identifier + MaskMark + QStringLiteral(".png"));
    if (QFileInfo::exists(maskPath))
        m_maskImage = Image::fromFile(maskPath);
}

QTransform QSPictureFrameFilter::frameTransform(const QRectF &picture) const
{
    const QRectF &l = m_frameLayout;
    const double s = std::min(picture.width() / l.width(), picture.height() / l.height());
    const QPointF f = m_frameImage.extent().topLeft();
    const double tx = (picture.width() - l.width() * s) * 0.5 + f.x() + picture.x() - l.x() * s;
    const double ty = (picture.height() - l.height() * s) * 0.5 + f.y() + picture.y() - l.y() * s;
    return QTransform::fromScale(s, s) * QTransform::fromTranslate(tx, ty);
}

Image QSPictureFrameFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    if (input.isNull() || m_frameImage.isNull() || m_frameLayout.width() <= 0 || m_frameLayout.height() <= 0)
        return input;
    const QRectF p = input.extent();
    const QTransform place = frameTransform(p);
    const double s = place.m11();
    Image inner;
    if (m_maskImage.isNull()) {
        inner = input.cropped({p.x() + (p.width() - s * m_frameLayout.width()) * 0.5,
                               p.y() + (p.height() - s * m_frameLayout.height()) * 0.5, s * m_frameLayout.width(),
                               s * m_frameLayout.height()});
    } else {
        inner = rqs::applyFilter(QStringLiteral("CIBlendWithMask"),
                                 {{QStringLiteral("inputImage"), rqs::imageValue(input)},
                                  {QStringLiteral("inputBackgroundImage"), rqs::imageValue(Image::withColor({0, 0, 0, 0}))},
                                  {QStringLiteral("inputMaskImage"), rqs::imageValue(m_maskImage.transformed(place))}})
                    .cropped(p);
    }
    return rqs::applyFilter(QStringLiteral("CISourceOverCompositing"),
                            {{QStringLiteral("inputImage"), rqs::imageValue(m_frameImage.transformed(place))},
                             {QStringLiteral("inputBackgroundImage"), rqs::imageValue(inner)}});
}
