#include "RQS-Kit/Helper/QSToolTipController.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Helper/QSWindowCloseWatcher.h"
#include "platform/ui/WindowFrame.h"

#include <QCoreApplication>
#include <QHBoxLayout>

namespace {

// The label shows rich text; the runs of the attributed form become bold spans.
QString richText(const platform::AttributedString &attributed)
{
    QString html;
    for (const QTextLayout::FormatRange &run : attributed.ranges) {
        const QString part = attributed.text.mid(run.start, run.length).toHtmlEscaped();
        html += run.format.fontWeight() >= QFont::Bold ? QStringLiteral("<b>%1</b>").arg(part) : part;
    }
    return html;
}

} // namespace

QSToolTipController *QSToolTipController::sharedController()
{
    // Owned by the application, so that its window goes before the widget system does.
    static QPointer<QSToolTipController> controller;
    if (!controller) {
        controller = new QSToolTipController(QCoreApplication::instance());
    }
    return controller;
}

double QSToolTipController::toolTipDelay() { return 0.7; }

QSToolTipController::QSToolTipController(QObject *parent)
    : QObject(parent)
{
    m_timeOut.setSingleShot(true);
    m_timeOut.setInterval(std::chrono::seconds(30));
    connect(&m_timeOut, &QTimer::timeout, this, &QSToolTipController::hideTimed);
}

QSToolTipController::~QSToolTipController() { delete m_window; }

QWidget *QSToolTipController::window()
{
    if (!m_window) {
        m_window = new QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
        m_window->setAttribute(Qt::WA_ShowWithoutActivating);
        // The desktop's tool-tip colours, so that the tip stands apart from the window beneath.
        m_window->setBackgroundRole(QPalette::ToolTipBase);
        m_window->setForegroundRole(QPalette::ToolTipText);
        m_window->setAutoFillBackground(true);
        m_toolTipLabel = new QLabel;
        m_toolTipLabel->setTextFormat(Qt::RichText);
        auto *layout = new QHBoxLayout(m_window);
        layout->setContentsMargins(6, 3, 6, 3);
        layout->addWidget(m_toolTipLabel);
        windowDidLoad();
    }
    return m_window;
}

void QSToolTipController::windowDidLoad()
{
    m_extraSize = m_window->sizeHint() - m_toolTipLabel->sizeHint();
}

void QSToolTipController::showTooltip(const QString &text, const QPointF &point, QWidget *view)
{
    window(); // made on first use
    if (m_parentWindow)
        hideForView(m_focusView);
    if (text.isEmpty() || !view || !view->window()->isVisible())
        return;
    m_focusPoint = point;
    m_timeOut.start();
    m_focusView = view;
    m_toolTipLabel->setFont(rqs::defaultAttributes().font());
    m_toolTipLabel->setText(richText(rqs::atrributedStringWithAtributes(text)));
    updateWindowFrame();
    stopObserving();
    m_closeWatcher = new QSWindowCloseWatcher(view->window(), this);
    connect(m_closeWatcher, &QSWindowCloseWatcher::windowWillClose, this, &QSToolTipController::windowWillClose);
}

void QSToolTipController::updateWindowFrame()
{
    if (!m_focusView || !m_window)
        return;
    QWidget *focusWindow = m_focusView->window();
    m_toolTipLabel->adjustSize();
    const QSize size = m_toolTipLabel->size() + m_extraSize;
    // The point is y-up in the window; Qt's screen is y-down, so hanging below means the tip's top
    // edge at the point.
    const QPoint point = focusWindow->mapToGlobal(
        QPoint(qRound(m_focusPoint.x()), focusWindow->height() - qRound(m_focusPoint.y())));
    const QRect frame = platform::WindowFrame::geometry(focusWindow);
    // A tip larger than the frame keeps the frame's left and bottom edges, as it would y-up.
    const int x = std::max(std::min(point.x(), frame.x() + frame.width() - size.width()), frame.x());
    const int y = std::min(std::max(point.y(), frame.y()), frame.y() + frame.height() - size.height());
    m_window->setGeometry(QRect(QPoint(x, y), size));
    if (m_parentWindow != focusWindow) {
        m_parentWindow = focusWindow;
        m_window->show();
        m_window->raise();
    }
}

void QSToolTipController::hideForView(QWidget *view)
{
    if (view != m_focusView)
        return;
    m_timeOut.stop();
    m_parentWindow = nullptr;
    if (m_window)
        m_window->close();
    stopObserving();
}

void QSToolTipController::hideTimed() { hideForView(m_focusView); }

void QSToolTipController::windowWillClose()
{
    stopObserving();
    hideForView(m_focusView);
}

void QSToolTipController::stopObserving()
{
    // The watcher may be reporting right now; it goes once that is over.
    if (m_closeWatcher) {
        m_closeWatcher->disconnect(this);
        m_closeWatcher->deleteLater();
        m_closeWatcher = nullptr;
    }
}

QLabel *QSToolTipController::toolTipLabel() const { return m_toolTipLabel; }

QSize QSToolTipController::extraSize() const { return m_extraSize; }

QPointF QSToolTipController::focusPoint() const { return m_focusPoint; }

QWidget *QSToolTipController::focusView() const { return m_focusView; }

QWidget *QSToolTipController::parentWindow() const { return m_parentWindow; }

const QTimer *QSToolTipController::timeOut() const { return &m_timeOut; }

std::chrono::milliseconds QSToolTipController::timeOutInterval() const { return m_timeOut.intervalAsDuration(); }

void QSToolTipController::setTimeOutInterval(std::chrono::milliseconds interval) { m_timeOut.setInterval(interval); }
