#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QRect>
#include <QTest>
#include <QWidget>

// Cases of a suite named "…OnDesktop" run on the private X display under a real window manager
// (openbox), where focus, activation and window frames behave as on a user's desktop. Without that
// display they are skipped.
inline bool runsOnDesktop()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

#define FOLDWISE_REQUIRE_DESKTOP()                                                                  \
    do {                                                                                           \
        if (!runsOnDesktop())                                                                      \
            GTEST_SKIP() << "no X display with a window manager (scripts/test starts one as root)"; \
    } while (false)

// Once the window manager has framed the window and the window has settled: its frame.
inline QRect settledFrame(QWidget *window)
{
    QRect frame;
    (void)QTest::qWaitFor([&] {
        const QRect now = window->frameGeometry();
        const bool settled = now != window->geometry() && now == frame;
        frame = now;
        return settled;
    }, 5000);
    QTest::qWait(200);
    return window->frameGeometry();
}
