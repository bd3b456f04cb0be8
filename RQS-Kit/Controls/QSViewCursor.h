#pragma once

#include <QCursor>
#include <QPointer>
#include <QString>

#include <optional>

class QWidget;

// The cursor and hint a view shows while the pointer is over one of its active parts, pushed on
// its window's cursor stack and hint line under the view's key, and taken back from the window it
// was shown on when it goes or the view does.
class QSViewCursor
{
public:
    explicit QSViewCursor(QWidget *view);
    ~QSViewCursor();
    QSViewCursor(const QSViewCursor &) = delete;
    QSViewCursor &operator=(const QSViewCursor &) = delete;

    // None takes the shown cursor and its hint back; the cursor already shown changes nothing.
    void show(const std::optional<QCursor> &cursor, const QString &hint);
    void hide() { show(std::nullopt, {}); }
    const std::optional<QCursor> &current() const { return m_current; }

private:
    QWidget *m_view;
    QPointer<QWidget> m_window;
    std::optional<QCursor> m_current;
};
