#pragma once

#include <QString>

namespace platform {

// The user's temporary files live in one private folder per process (0700), removed at exit.
class TempFolder
{
public:
    // Created on first use; empty when it could not be created (the failure is logged).
    static QString path();
};

} // namespace platform
