#pragma once

// Makes the kit's filter classes known to the engine by their class names, with their kernels
// and input keys; safe to call more than once and from any thread.
namespace rqs {

void registerKitFilters();

} // namespace rqs
