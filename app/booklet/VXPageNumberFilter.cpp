#include "app/booklet/VXPageNumberFilter.h"

#include "app/booklet/VXFilter.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/graphics/GraphicsContext.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPointer>

VXPageNumberFilter::VXPageNumberFilter(QObject *parent)
    : VXDoublePageFilter(parent)
    , m_fontName(desktopFontName())
{
    m_font = makeFont(m_fontName, m_fontSize);
}

QFont VXPageNumberFilter::makeFont(const QString &name, double size)
{
    QFont font(name);
    // Qt takes no size of 0 or less; such a number is simply not drawn.
    if (size > 0)
        font.setPointSizeF(size);
    return font;
}

std::optional<QFont> VXPageNumberFilter::fontNamed(const QString &name, double size)
{
    const QFont font = makeFont(name, size);
    if (QFontInfo(font).family().compare(name, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return font;
}

QString VXPageNumberFilter::desktopFontName() { return QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family(); }

QString VXPageNumberFilter::drawnFontName() const { return QFontInfo(m_font).family(); }

qint64 VXPageNumberFilter::firstPage() const { return m_firstPage; }

void VXPageNumberFilter::setFirstPage(qint64 firstPage)
{
    m_firstPage = firstPage;
    emit firstPageChanged(firstPage);
    tellDelegate();
}

qint64 VXPageNumberFilter::lastPage() const { return m_lastPage; }

void VXPageNumberFilter::setLastPage(qint64 lastPage)
{
    m_lastPage = lastPage;
    emit lastPageChanged(lastPage);
    if (lastPage == 0) {
        // A field bound to the value shows it again once the current edit is over.
        QPointer<VXPageNumberFilter> self(this);
        platform::MainQueue::post([self] {
            if (self)
                platform::KeyValue::announceChange(self, QStringLiteral("lastPage"));
        });
    }
    tellDelegate();
}

qint64 VXPageNumberFilter::firstNo() const { return m_firstNo; }

void VXPageNumberFilter::setFirstNo(qint64 firstNo)
{
    m_firstNo = firstNo;
    emit firstNoChanged(firstNo);
    tellDelegate();
}

QString VXPageNumberFilter::fontName() const { return m_fontName; }

void VXPageNumberFilter::setFontName(const QString &fontName)
{
    // A family that is not installed would be drawn in whatever the system puts in its place: the
    // numbers keep their font, and the name stays the one of the font they are drawn in.
    const std::optional<QFont> font = fontNamed(fontName, m_fontSize);
    if (!font)
        return;
    m_fontName = fontName;
    m_font = *font;
    emit fontNameChanged(fontName);
    tellDelegate();
}

QFont VXPageNumberFilter::font() const { return m_font; }

double VXPageNumberFilter::pointSizeOf(const QFont &font)
{
    // A font sized in pixels answers -1 for its points; Qt knows what they are on the screen.
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

void VXPageNumberFilter::setFont(const QFont &font)
{
    m_font = font;
    m_fontName = font.family();
    m_fontSize = pointSizeOf(font);
    if (m_fontSize > 0)
        m_font.setPointSizeF(m_fontSize);
    emit fontChanged(font);
    tellDelegate();
}

double VXPageNumberFilter::fontSize() const { return m_fontSize; }

void VXPageNumberFilter::setFontSize(double fontSize)
{
    m_fontSize = fontSize;
    m_font = makeFont(m_fontName, fontSize);
    emit fontSizeChanged(fontSize);
    tellDelegate();
}

double VXPageNumberFilter::x() const { return m_x; }

void VXPageNumberFilter::setX(double x)
{
    m_x = x;
    emit xChanged(x);
    tellDelegate();
}

double VXPageNumberFilter::y() const { return m_y; }

void VXPageNumberFilter::setY(double y)
{
    m_y = y;
    emit yChanged(y);
    tellDelegate();
}

std::optional<qint64> VXPageNumberFilter::numberForPage(quint64 index) const
{
    // Signed throughout: a page before firstPage shows nothing, and a start below 1 shows 0 and
    // negative numbers rather than wrapping to huge ones.
    if (index >= VXFilter::NotFound)
        return std::nullopt;
    const qint64 page = qint64(index) + 1;
    if (page < m_firstPage || (m_lastPage != 0 && page > m_lastPage))
        return std::nullopt;
    return page - (m_firstPage - m_firstNo);
}

QPointF VXPageNumberFilter::positionInRect(const QRectF &rect, bool isLeft) const
{
    const double across = isLeft ? m_x + 1 : 3 - m_x;
    return QPointF(rect.x() + across * rect.width() / 4, rect.y() + (1 - m_y) * rect.height() / 2);
}

void VXPageNumberFilter::renderPageLeftNo(quint64 leftNo, quint64 rightNo, const QRectF &rect, double fraction)
{
    if (const std::optional<qint64> number = numberForPage(leftNo))
        render(*number, positionInRect(rect, true), fraction);
    if (const std::optional<qint64> number = numberForPage(rightNo))
        render(*number, positionInRect(rect, false), fraction);
}

void VXPageNumberFilter::render(qint64 number, const QPointF &point, double fraction)
{
    const double size = m_fontSize * fraction;
    if (!(size > 0))
        return;
    platform::GraphicsContext *context = platform::GraphicsContext::current();
    if (!context) {
        platform::logWarning(QStringLiteral("No graphics context to draw a page number into"));
        return;
    }
    platform::TextAttributes attributes;
    attributes.font = m_font;
    attributes.font.setPointSizeF(size);
    attributes.alignment = Qt::AlignHCenter | Qt::AlignTop;
    const QString text = QString::number(number);
    const QRectF bounds = platform::GraphicsContext::boundingRect(text, attributes);
    context->drawText(text,
                      QRectF(point.x() - bounds.width() / 2 + bounds.x(), point.y() - bounds.height() / 2 + bounds.y(),
                             bounds.width(), bounds.height()),
                      attributes);
}
