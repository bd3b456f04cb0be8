#pragma once

#include <QString>

namespace platform {

// Why a system call failed, from its error number: in the user's words where they can act on it
// (a full disk, a used-up quota), else the system's own.
QString systemReason(int error);

} // namespace platform
