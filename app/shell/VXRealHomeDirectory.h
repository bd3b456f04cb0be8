#pragma once

#include <QString>

// The home folder of the user the process runs as, from the user database; the environment's
// home when the database has no entry. It stays the user's own even when HOME was set elsewhere,
// as it is for a process that CUPS starts.
QString VXRealHomeDirectory();
