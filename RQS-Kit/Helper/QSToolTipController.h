#pragma once

#include <QLabel>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <chrono>

class QSWindowCloseWatcher;

// The one shared tool-tip window: shown at a point over a view, hidden by that view, by a time-out
// (30 s) or when the view's window closes. The tip window stays above the window it belongs to
// without being that window's Qt child, so that it never goes down with another window; it never
// takes the focus. Main thread only.
class QSToolTipController : public QObject
{
    Q_OBJECT
public:
    static QSToolTipController *sharedController();
    // Seconds callers wait before they show a tool tip.
    static double toolTipDelay();

    explicit QSToolTipController(QObject *parent = nullptr);
    ~QSToolTipController() override;

    // The point is in the view's window, y up from the window's bottom left corner. An empty text
    // only hides the tip shown now; so does a view whose window is not visible.
    void showTooltip(const QString &text, const QPointF &point, QWidget *view);
    // Only for the view that the tip is shown for.
    void hideForView(QWidget *view);
    void hideTimed();
    // Sizes the tip to its text and places it below and to the right of the focus point, inside the
    // frame of the focus view's window.
    void updateWindowFrame();

    // The tip window, made on first use.
    QWidget *window();
    QLabel *toolTipLabel() const;
    // The window's size less the label's: the margin around the text.
    QSize extraSize() const;
    QPointF focusPoint() const;
    QWidget *focusView() const;
    // The window the tip is shown over; null while hidden.
    QWidget *parentWindow() const;
    const QTimer *timeOut() const;

    // 30 s unless set otherwise.
    std::chrono::milliseconds timeOutInterval() const;
    void setTimeOutInterval(std::chrono::milliseconds interval);

private:
    void windowDidLoad();
    void windowWillClose();
    void stopObserving();

    QPointer<QWidget> m_window;
    QPointer<QLabel> m_toolTipLabel;
    QSize m_extraSize;
    QPointF m_focusPoint;
    QPointer<QWidget> m_focusView;
    QPointer<QWidget> m_parentWindow;
    QTimer m_timeOut;
    QPointer<QSWindowCloseWatcher> m_closeWatcher;
};
