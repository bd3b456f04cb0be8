#pragma once

#include "platform/foundation/Bundle.h"

// Points the main bundle at a test folder for as long as it lives.
class MainBundleScope
{
public:
    explicit MainBundleScope(const QString &path)
        : m_previous(platform::Bundle::mainBundle()->bundlePath())
    {
        platform::Bundle::setMainBundlePath(path);
    }
    ~MainBundleScope() { platform::Bundle::setMainBundlePath(m_previous); }
    MainBundleScope(const MainBundleScope &) = delete;
    MainBundleScope &operator=(const MainBundleScope &) = delete;

private:
    QString m_previous;
};
