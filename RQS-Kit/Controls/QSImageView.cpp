#include "RQS-Kit/Controls/QSImageView.h"

#include "RQS-Kit/Controls/NineSlice.h"
#include "RQS-Kit/Foundation/QSColor.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/fx/Context.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/Layer.h"
#include "platform/layers/Transaction.h"

#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>

QSImageView::QSImageView(QWidget *parent)
    : platform::View(parent)
{
    m_keepFrontTimer.setInterval(1000);
    connect(&m_keepFrontTimer, &QTimer::timeout, this, &QSImageView::bringToFront);
}

QImage QSImageView::image() const { return m_image; }

void QSImageView::setImage(const QImage &image)
{
    // A null image is no change only while no engine image shows either.
    if (image.cacheKey() == m_image.cacheKey() && m_ciImage.isNull())
        return;
    m_image = image;
    m_ciImage = {};
    m_stretchRect = QRectF(QPointF(0, 0), image.deviceIndependentSize());
    setNeedsDisplay(true);
    updateGeometry();
}

platform::fx::Image QSImageView::ciImage() const { return m_ciImage; }

void QSImageView::setCIImage(const platform::fx::Image &image)
{
    setImage(QImage());
    m_ciImage = image;
    setNeedsDisplay(true);
    updateGeometry();
}

QString QSImageView::imageName() const { return m_imageName; }

void QSImageView::setImageName(const QString &name)
{
    m_imageName = name;
    setImage(platform::Bundle::mainBundle()->imageNamed(name));
    const QString options = rqs::resourceInfo(name).options();
    if (options.isNull())
        return;
    const QStringList numbers = options.split(QLatin1Char('-'));
    const std::array<void (QRectF::*)(qreal), 4> setters{&QRectF::moveLeft, &QRectF::moveTop, &QRectF::setWidth, &QRectF::setHeight};
    for (qsizetype i = 0; i < std::min<qsizetype>(numbers.size(), 4); ++i)
        (m_stretchRect.*setters[i])(numbers[i].toInt());
}

void QSImageView::captureView(QWidget *view) { setImage(view->grab().toImage()); }

QRectF QSImageView::stretchRect() const { return m_stretchRect; }

void QSImageView::setStretchRect(const QRectF &rect)
{
    m_stretchRect = rect;
    setNeedsDisplay(true);
}

int QSImageView::gravity() const { return m_placement.gravity; }

void QSImageView::setGravity(int gravity)
{
    m_placement.gravity = gravity;
    setNeedsDisplay(true);
}

bool QSImageView::aspectFit() const { return m_placement.aspectFit; }

void QSImageView::setAspectFit(bool aspectFit)
{
    m_placement.aspectFit = aspectFit;
    setNeedsDisplay(true);
}

bool QSImageView::upscaleIfNeeded() const { return m_placement.upscaleIfNeeded; }

void QSImageView::setUpscaleIfNeeded(bool upscale) { m_placement.upscaleIfNeeded = upscale; }

bool QSImageView::hideImage() const { return m_hideImage; }

void QSImageView::setHideImage(bool hide)
{
    m_hideImage = hide;
    setNeedsDisplay(true);
}

double QSImageView::opacity() const { return m_opacity; }

void QSImageView::setOpacity(double opacity)
{
    if (opacity == m_opacity)
        return;
    m_opacity = opacity;
    setNeedsDisplay(true);
}

QString QSImageView::opacityString() const { return QString::number(m_opacity); }
void QSImageView::setOpacityString(const QString &opacity) { m_opacity = opacity.toDouble(); }

double QSImageView::borderWidth() const { return m_borderWidth; }

void QSImageView::setBorderWidth(double width)
{
    m_borderWidth = width;
    setNeedsDisplay(true);
}

QBrush QSImageView::borderColor() const { return m_borderColor; }

void QSImageView::setBorderColor(const QBrush &color)
{
    m_borderColor = color;
    setNeedsDisplay(true);
}

QString QSImageView::borderColorName() const { return m_borderColorName; }

void QSImageView::setBorderColorName(const QString &description)
{
    m_borderColorName = description;
    setBorderColor(QSColor::colorFromDescription(description));
}

bool QSImageView::borderedImage() const { return m_borderedImage; }

void QSImageView::setBorderedImage(bool bordered)
{
    m_borderedImage = bordered;
    setNeedsDisplay(true);
}

QBrush QSImageView::backgroundColor() const { return m_backgroundColor; }

void QSImageView::setBackgroundColor(const QBrush &color) { m_backgroundColor = color; }

QString QSImageView::backgroundColorName() const { return m_backgroundColorName; }

void QSImageView::setBackgroundColorName(const QString &description)
{
    m_backgroundColorName = description;
    setBackgroundColor(QSColor::colorFromDescription(description));
}

bool QSImageView::noHitTesting() const { return m_noHitTesting; }

void QSImageView::setNoHitTesting(bool noHitTesting) { m_noHitTesting = noHitTesting; }

bool QSImageView::dragsWindow() const { return m_dragsWindow; }

void QSImageView::setDragsWindow(bool drags) { m_dragsWindow = drags; }

bool QSImageView::keepFront() const { return m_keepFront; }

void QSImageView::setKeepFront(bool keepFront)
{
    m_keepFront = keepFront;
    restartKeepFrontTimer();
}

void QSImageView::verifyKeepFrontHint()
{
    if (m_keepFront && superview())
        QTimer::singleShot(0, this, &QSImageView::bringToFront);
}

bool QSImageView::protectTransform() const { return m_protectTransform; }

void QSImageView::setProtectTransform(bool protect) { m_protectTransform = protect; }

void QSImageView::setFrame(const QRectF &frame)
{
    if (!m_protectTransform) {
        View::setFrame(frame);
        return;
    }
    platform::Transaction::begin();
    platform::Transaction::setDisableActions(true);
    const QMatrix4x4 transform = layer() ? layer()->transform() : QMatrix4x4();
    View::setFrame(frame);
    if (layer())
        layer()->setTransform(transform);
    platform::Transaction::commit();
}

QSViewDelegate *QSImageView::viewDelegate() const { return m_delegate.get(); }

void QSImageView::setViewDelegate(platform::Delegate<QSViewDelegate> delegate) { m_delegate.set(delegate); }

QSizeF QSImageView::imageSize() const
{
    const QSizeF size = m_image.isNull() ? m_ciImage.extent().size() : m_image.deviceIndependentSize();
    const bool drawable = size.width() > 0 && size.height() > 0 && std::isfinite(size.width()) && std::isfinite(size.height());
    return drawable ? size : QSizeF(0, 0);
}

QRectF QSImageView::drawnRect() const
{
    const QSizeF size = imageSize();
    if (m_hideImage || size.isEmpty())
        return {};
    return rqs::placedImageRect(size, bounds(), m_placement);
}

QSizeF QSImageView::intrinsicContentSize() const
{
    const QSizeF size = imageSize();
    const bool fixedWidth = minimumWidth() == maximumWidth() && minimumWidth() > 0;
    const bool fixedHeight = minimumHeight() == maximumHeight() && minimumHeight() > 0;
    if (size.isEmpty() || fixedWidth == fixedHeight)
        return size;
    if (fixedWidth)
        return {double(minimumWidth()), size.height() * minimumWidth() / size.width()};
    return {size.width() * minimumHeight() / size.height(), double(minimumHeight())};
}

QSize QSImageView::sizeHint() const
{
    const QSizeF size = intrinsicContentSize();
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

QWidget *QSImageView::hitTest(const QPointF &point) { return m_noHitTesting ? nullptr : View::hitTest(point); }

void QSImageView::drawRect(const QRectF &dirtyRect)
{
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context)
        return;
    if (m_backgroundColor.style() != Qt::NoBrush) {
        context->saveGState();
        context->setFill(m_backgroundColor);
        context->fillRect(dirtyRect);
        context->restoreGState();
    }
    const QRectF target = drawnRect();
    if (target.isNull())
        return;
    if (!m_ciImage.isNull())
        platform::fx::Context().draw(m_ciImage, target, m_ciImage.extent());
    else
        rqs::drawNineSlice(*context, m_image, m_stretchRect, target, m_opacity);
    drawBorder(*context);
}

void QSImageView::drawBorder(platform::GraphicsContext &context) const
{
    if (m_borderColor.style() == Qt::NoBrush || m_borderWidth <= 0)
        return;
    const QRectF around = m_borderedImage && !m_image.isNull() ? drawnRect() : bounds();
    context.saveGState();
    context.setStroke(m_borderColor);
    context.setLineWidth(m_borderWidth);
    context.strokeRect(around.adjusted(0.5, 0.5, -0.5, -0.5));
    context.restoreGState();
}

void QSImageView::mouseDown(const platform::MouseEvent &event)
{
    if (viewDelegate() && viewDelegate()->takesClicks())
        return;
    if (m_dragsWindow && window()->windowHandle() && window()->windowHandle()->startSystemMove())
        return;
    View::mouseDown(event);
}

void QSImageView::mouseUp(const platform::MouseEvent &event)
{
    QSViewDelegate *delegate = viewDelegate();
    if (!delegate || !delegate->takesClicks()) {
        View::mouseUp(event);
        return;
    }
    if (event.clickCount == 1)
        delegate->viewWasClicked(this);
}

bool QSImageView::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange)
        restartKeepFrontTimer();
    return View::event(event);
}

void QSImageView::resizeWithOldSuperviewSize(const QSizeF &oldSize)
{
    View::resizeWithOldSuperviewSize(oldSize);
    if (QSViewDelegate *delegate = viewDelegate())
        delegate->viewDidAutoresize(this);
}

void QSImageView::restartKeepFrontTimer()
{
    m_keepFrontTimer.stop();
    if (m_keepFront && superview())
        m_keepFrontTimer.start();
}

void QSImageView::bringToFront()
{
    QWidget *parent = superview();
    if (!parent)
        return;
    const QList<QWidget *> siblings = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    if (siblings.last() != this)
        raise();
}
