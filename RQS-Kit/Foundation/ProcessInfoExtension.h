#pragma once

#include <QString>

namespace rqs {

// The application's name as the process knows it: what its folders in the user's data and
// temporary folders are named after.
QString appName();

} // namespace rqs
