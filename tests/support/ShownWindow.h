#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <functional>

// The top-level window of that kind that is shown and on the screen (the last one the application
// lists, of those wanted when a test is given), once there is one; null when none comes within the
// time.
template <class T>
T *shownWindow(const std::function<bool(T *)> &wanted = {}, int milliseconds = 20000)
{
    T *found = nullptr;
    static_cast<void>(QTest::qWaitFor([&] {
        found = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *candidate = qobject_cast<T *>(window);
            if (candidate && candidate->isVisible() && (!wanted || wanted(candidate)))
                found = candidate;
        }
        return found && found->windowHandle() && found->windowHandle()->isExposed();
    }, milliseconds));
    return found;
}
