#include "RQS-Kit/Effects/QSFilterPreview.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaultsController.h"
#include "platform/fx/Context.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/graphics/GraphicsContext.h"

#include <QPainterPath>

namespace {
const QString BindPrefix = QStringLiteral("bind.");
const QString FilterPrefix = QStringLiteral("filter.");
} // namespace

QSFilterPreview::QSFilterPreview(QWidget *parent)
    : View(parent)
{
}

void QSFilterPreview::setAdjustImage(bool adjust)
{
    m_adjustImage = adjust;
    adaptInputImage();
}

void QSFilterPreview::setAdjustResult(bool adjust)
{
    m_adjustResult = adjust;
    update();
}

void QSFilterPreview::setImageName(const QString &name)
{
    m_imageName = name;
    loadImage();
}

void QSFilterPreview::setFilterName(const QString &name)
{
    m_filterName = name;
    std::unique_ptr<platform::fx::Filter> filter = platform::fx::FilterRegistry::create(name);
    if (!filter)
        platform::logWarning(QStringLiteral("No filter named %1 for the preview").arg(name));
    setFilter(std::move(filter));
    if (m_filter)
        m_filter->setDefaults();
}

void QSFilterPreview::setFilter(std::unique_ptr<platform::fx::Filter> filter)
{
    m_filter = std::move(filter);
    loadImage();
    update();
}

bool QSFilterPreview::hasInput(const QString &key) const
{
    if (m_filter && m_filter->attributes().contains(key))
        return true;
    platform::logWarning(QStringLiteral("The preview's filter %1 has no input %2; ignored")
                             .arg(m_filter ? m_filter->name() : QStringLiteral("(none)"), key));
    return false;
}

bool QSFilterPreview::setValueForKeyPath(const QString &keyPath, const QVariant &value)
{
    if (keyPath.startsWith(BindPrefix) && keyPath.size() > BindPrefix.size())
        return bindInput(keyPath.mid(BindPrefix.size()), value.toString());
    return setValueForKey(keyPath, value);
}

bool QSFilterPreview::setValueForKey(const QString &key, const QVariant &value)
{
    if (key.startsWith(FilterPrefix) && key.size() > FilterPrefix.size())
        return setFilterInput(key.mid(FilterPrefix.size()), value);
    return platform::KeyValue::setPropertyValue(this, key, value);
}

bool QSFilterPreview::bindInput(const QString &defaultsKey, const QString &inputKey)
{
    if (!hasInput(inputKey))
        return false;
    m_bindings.insert(defaultsKey, inputKey);
    m_observations.insert(defaultsKey,
                          platform::KeyValue::observe(platform::UserDefaultsController::sharedUserDefaultsController(),
                                                      QStringLiteral("values.") + defaultsKey, this,
                                                      [this, inputKey](const QVariant &stored) {
                                                          if (stored.isValid())
                                                              setFilterInput(inputKey, stored);
                                                      }));
    return true;
}

bool QSFilterPreview::setFilterInput(const QString &inputKey, const QVariant &value)
{
    if (!hasInput(inputKey) || !m_filter->setValueForKey(inputKey, value))
        return false;
    update();
    return true;
}

void QSFilterPreview::awakeFromNib()
{
    auto *defaults = platform::UserDefaultsController::sharedUserDefaultsController();
    for (auto it = m_bindings.cbegin(); it != m_bindings.cend(); ++it) {
        const QVariant stored = defaults->valueForKeyPath(QStringLiteral("values.") + it.key());
        if (stored.isValid())
            setFilterInput(it.value(), stored);
    }
    update();
}

void QSFilterPreview::loadImage()
{
    if (m_imageName.isEmpty() || !m_filter)
        return;
    const QImage picture = platform::Bundle::mainBundle()->imageNamed(m_imageName);
    if (picture.isNull())
        platform::logWarning(QStringLiteral("The preview's picture %1 is not among the resources").arg(m_imageName));
    m_inputImage = platform::fx::Image::fromQImage(picture);
    adaptInputImage();
}

void QSFilterPreview::adaptInputImage()
{
    if (!m_filter || m_inputImage.isNull())
        return;
    const QRectF extent = m_inputImage.extent();
    platform::fx::Image input = m_inputImage;
    if (m_adjustImage && extent.width() > 0 && extent.height() > 0)
        input = input.transformed(QTransform::fromScale(width() / extent.width(), height() / extent.height()));
    m_filter->setValueForKey(QStringLiteral("inputImage"), QVariant::fromValue(input));
    update();
}

void QSFilterPreview::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    adaptInputImage();
}

void QSFilterPreview::drawRect(const QRectF &dirtyRect)
{
    View::drawRect(dirtyRect);
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    const platform::fx::Image output = m_filter ? m_filter->outputImage() : platform::fx::Image();
    if (!output.isNull())
        platform::fx::Context().draw(output, bounds(), m_adjustResult ? output.extent() : bounds());
    // The band between the bounds and the bounds inset by one point, filled: a stroke of the same
    // shape leaves its corner pixels partly uncovered when drawn with anti-aliasing.
    QPainterPath border;
    border.addRect(bounds());
    border.addRect(bounds().adjusted(1, 1, -1, -1));
    border.setFillRule(Qt::OddEvenFill);
    context->setFill(Qt::black);
    context->fillPath(border);
}
