#pragma once

namespace platform {

// Poppler keeps the colour profiles every graphics state uses in statics that the first graphics
// state made sets without a lock: two threads drawing their first pages at once could each set
// them, and one profile was freed twice. Called before poppler draws on any thread, it makes one
// graphics state the first time; callers meanwhile wait until it is made.
void makePopplerSharedState();

} // namespace platform
