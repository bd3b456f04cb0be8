#include "RQS-Kit/Controls/QS3DLayer.h"

#include "platform/foundation/Log.h"

#include <cmath>
#include <numbers>

namespace {

// The diagonal of a 36 × 24 mm film frame.
constexpr double filmDiagonal = 43.266615305567875;

double radians(double degrees) { return degrees * std::numbers::pi / 180; }
double degrees(double radians) { return radians * 180 / std::numbers::pi; }

} // namespace

QS3DLayer::QS3DLayer(QObject *parent)
    : platform::Layer(parent)
{
}

bool QS3DLayer::setDepthFactor(double depthFactor)
{
    if (!std::isfinite(depthFactor) || depthFactor <= 0) {
        platform::logWarning(QStringLiteral("Refused depth factor %1").arg(depthFactor));
        return false;
    }
    m_depthFactor = depthFactor;
    update3DParameter();
    return true;
}

void QS3DLayer::setFixedWidth(double width)
{
    m_fixedWidth = width;
    update3DParameter();
}

void QS3DLayer::setUseHeight(bool useHeight) { m_useHeight = useHeight; }

void QS3DLayer::setPreventRelayout(bool prevent) { m_preventRelayout = prevent; }

double QS3DLayer::fov() const
{
    const double d = m_depthFactor;
    return 2 * (90 - degrees(std::asin(d / double(std::sqrt(float(d * d + 1))))));
}

bool QS3DLayer::setFov(double fov)
{
    if (!(fov > 0 && fov < 180)) {
        platform::logWarning(QStringLiteral("Refused field of view %1").arg(fov));
        return false;
    }
    return setDepthFactor(std::sin(radians(90 - fov / 2)) / std::sin(radians(fov / 2)));
}

double QS3DLayer::focalLength() const { return filmDiagonal / (2 * std::tan(radians(fov() / 2))); }

bool QS3DLayer::setFocalLength(double millimetres)
{
    if (!std::isfinite(millimetres) || millimetres <= 0) {
        platform::logWarning(QStringLiteral("Refused focal length %1").arg(millimetres));
        return false;
    }
    return setFov(2 * degrees(std::atan(filmDiagonal / (2 * millimetres))));
}

double QS3DLayer::m34() const { return sublayerTransform()(3, 2); }

void QS3DLayer::setBounds(const QRectF &bounds)
{
    setSublayerTransform(QMatrix4x4());
    platform::Layer::setBounds(bounds);
    update3DParameter();
}

void QS3DLayer::resizeSublayers(const QSizeF &oldSize)
{
    if (!m_preventRelayout)
        platform::Layer::resizeSublayers(oldSize);
}

void QS3DLayer::update3DParameter()
{
    const double width =
        m_fixedWidth > 0 ? m_fixedWidth : (m_useHeight ? bounds().height() : bounds().width());
    // An empty reference would put the camera at the plane: stay flat until there is one.
    QMatrix4x4 perspective;
    if (width > 0)
        perspective(3, 2) = float(-1 / (width / 2 * m_depthFactor));
    setSublayerTransform(perspective);
}
