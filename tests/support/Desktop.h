#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>

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
