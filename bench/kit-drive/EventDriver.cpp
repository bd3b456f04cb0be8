#include "EventDriver.h"

#include "platform/foundation/Log.h"

#include <QApplication>
#include <QKeySequence>
#include <QTest>
#include <QWidget>

namespace kitdrive {

EventDriver::EventDriver(QWidget *root)
    : m_root(root)
{
}

bool EventDriver::pointAt(const QString &text, QPoint &point, int *count) const
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2 && !(count && parts.size() == 3))
        return false;
    bool xRead = false, yRead = false, countRead = true;
    const double x = parts[0].toDouble(&xRead);
    const double y = parts[1].toDouble(&yRead);
    if (count)
        *count = parts.size() == 3 ? parts[2].toInt(&countRead) : 1;
    point = QPointF(x, m_root->height() - y).toPoint();
    return xRead && yRead && countRead && (!count || *count > 0);
}

std::pair<QWidget *, QPoint> EventDriver::receiver(const QPoint &at) const
{
    QWidget *widget = m_pressed ? m_pressed.data() : m_root->childAt(at);
    if (!widget)
        widget = m_root;
    return {widget, widget->mapFrom(m_root, at)};
}

bool EventDriver::perform(const QString &action)
{
    const QString verb = action.section(QLatin1Char(' '), 0, 0);
    const QString argument = action.section(QLatin1Char(' '), 1).trimmed();
    QPoint at;
    int count = 1;
    bool ok = true;
    if (verb == QLatin1String("hold-shift")) {
        m_held |= Qt::ShiftModifier;
        QTest::keyPress(m_root, Qt::Key_Shift, m_held);
    } else if (verb == QLatin1String("wait")) {
        const int milliseconds = argument.toInt(&ok);
        if (ok)
            QTest::qWait(milliseconds);
    } else if (verb == QLatin1String("key")) {
        QStringList parts = argument.split(QLatin1Char('+'));
        Qt::KeyboardModifiers modifiers = m_held;
        for (const QString &modifier : parts.mid(1))
            modifiers |= modifier == QLatin1String("Shift") ? Qt::ShiftModifier
                         : modifier == QLatin1String("Ctrl") ? Qt::ControlModifier : (ok = false, Qt::NoModifier);
        const QKeySequence sequence = QKeySequence::fromString(parts.value(0));
        ok = ok && sequence.count() == 1;
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_root;
        // A single character is typed as one, so that it also arrives as text.
        const QString name = parts.value(0);
        if (ok && name.size() == 1)
            QTest::keyClick(target, (modifiers & Qt::ShiftModifier ? name.toUpper() : name.toLower()).at(0).toLatin1(), modifiers);
        else if (ok)
            QTest::keyClick(target, sequence[0].key(), modifiers);
    } else if (verb == QLatin1String("click")) {
        ok = pointAt(argument, at, &count);
        const auto [widget, local] = receiver(at);
        for (int click = 0; ok && click < count; click += 2) {
            if (click + 1 < count)
                QTest::mouseDClick(widget, Qt::LeftButton, m_held, local);
            else
                QTest::mouseClick(widget, Qt::LeftButton, m_held, local);
        }
    } else if ((ok = pointAt(argument, at, nullptr))) {
        const auto [widget, local] = receiver(at);
        if (verb == QLatin1String("move") || verb == QLatin1String("drag")) {
            QTest::mouseMove(widget, local);
        } else if (verb == QLatin1String("press") || verb == QLatin1String("rpress")) {
            QTest::mousePress(widget, verb == QLatin1String("press") ? Qt::LeftButton : Qt::RightButton, m_held, local);
            m_pressed = widget;
        } else if (verb == QLatin1String("release")) {
            QTest::mouseRelease(widget, Qt::LeftButton, m_held, local);
            m_pressed.clear();
        } else {
            ok = false;
        }
    }
    if (!ok)
        platform::logError(QStringLiteral("Unknown or malformed action \"%1\"").arg(action));
    return ok;
}

} // namespace kitdrive
