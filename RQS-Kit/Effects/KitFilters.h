#pragma once

// Registers the kit's filter classes with the engine's filter registry, so that they are made by
// class name like the built-ins. Every kit filter class is listed here; the application and the
// tools call it once at start-up, later calls do nothing.
namespace rqs {

void registerKitFilters();

} // namespace rqs
