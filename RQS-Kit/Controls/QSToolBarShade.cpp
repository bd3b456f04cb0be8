#include "RQS-Kit/Controls/QSToolBarShade.h"

#include "RQS-Kit/Foundation/BundleExtension.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PictureFileReader.h"

#include <QFileInfo>

#include <cmath>

QSToolBarShade::QSToolBarShade(const QString &name, const QVariantMap &settings)
    : m_name(name)
    , m_fullWidth(settings.value(QStringLiteral("FullWidth")).toBool())
{
    if (settings.value(QStringLiteral("BlendMode")).toString() == QLatin1String("overlay"))
        m_blendMode = QPainter::CompositionMode_Overlay;
    const QString path = rqs::pathForImageResourceWithPrefix(*platform::Bundle::mainBundle(), name, QString(), QString());
    if (path.isEmpty()) {
        platform::logWarning(QStringLiteral("No tool bar shade image starts with \"%1\"").arg(name));
        return;
    }
    const QSResourceInfo info = rqs::resourceInfo(QFileInfo(path).fileName());
    m_isTexture = info.type() == QLatin1String("BAR-T");
    const QStringList options = info.options().split(QLatin1Char('-'));
    if (options.size() == 1) {
        m_repeat = options[0] == QLatin1String("R");
    } else if (options.size() == 3) {
        m_leftMargin = options[0].toDouble();
        m_repeat = options[1] == QLatin1String("R");
        m_rightMargin = options[2].toDouble();
    }
    m_image = platform::PictureFileReader::read(path);
    if (m_image.isNull())
        platform::logWarning(QStringLiteral("Could not read the tool bar shade image %1").arg(path));
    if (path.contains(QLatin1String("@2x")))
        m_image.setDevicePixelRatio(2);
}

QString QSToolBarShade::name() const { return m_name; }
const QImage &QSToolBarShade::image() const { return m_image; }
bool QSToolBarShade::isTexture() const { return m_isTexture; }
bool QSToolBarShade::repeat() const { return m_repeat; }
bool QSToolBarShade::fullWidth() const { return m_fullWidth; }
QPainter::CompositionMode QSToolBarShade::blendMode() const { return m_blendMode; }
double QSToolBarShade::leftMargin() const { return m_leftMargin; }
double QSToolBarShade::rightMargin() const { return m_rightMargin; }
bool QSToolBarShade::useRetina() const { return m_useRetina; }

void QSToolBarShade::setUseRetina(bool useRetina)
{
    if (useRetina == m_useRetina)
        return;
    m_useRetina = useRetina;
    m_partsCut = false;
}

QImage QSToolBarShade::part(double x, double width) const
{
    const double ratio = m_image.devicePixelRatio();
    QImage cut = m_image.copy(int(std::round(x * ratio)), 0, int(std::round(width * ratio)), m_image.height());
    cut.setDevicePixelRatio(ratio);
    return cut;
}

const QImage &QSToolBarShade::left() const
{
    mid();
    return m_left;
}

const QImage &QSToolBarShade::right() const
{
    mid();
    return m_right;
}

const QImage &QSToolBarShade::mid() const
{
    if (!m_partsCut && !m_image.isNull()) {
        const double width = m_image.deviceIndependentSize().width();
        const double middle = width - m_leftMargin - m_rightMargin;
        m_left = m_leftMargin > 0 ? part(0, m_leftMargin) : QImage();
        m_right = m_rightMargin > 0 ? part(width - m_rightMargin, m_rightMargin) : QImage();
        m_mid = middle > 0 ? part(m_leftMargin, middle) : QImage();
        m_partsCut = true;
    }
    return m_mid;
}

QString QSToolBarShade::description() const
{
    const auto yesNo = [](bool value) { return value ? QStringLiteral("YES") : QStringLiteral("NO"); };
    return QStringLiteral("QSToolBarShade: %1 (Texture: %2, Repeat: %3, BlendMode: %4")
        .arg(m_name, yesNo(m_isTexture), yesNo(m_repeat),
             m_blendMode == QPainter::CompositionMode_Overlay ? QStringLiteral("kCGBlendModeOverlay")
                                                              : QStringLiteral("kCGBlendModeNormal"));
}
