#pragma once

// Registers the kit's filter classes, their kernels and keys with the image engine, so that they
// can be made by class name. Safe to call more than once, from any thread.
namespace rqs {

void registerKitFilters();

} // namespace rqs
