#pragma once

// Makes the kit's controls and views known to interface files by their class names; the
// application calls it once at start-up, before any file is loaded.
namespace rqs {

void registerKitClasses();

} // namespace rqs
