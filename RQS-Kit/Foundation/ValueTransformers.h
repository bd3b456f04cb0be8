#pragma once

namespace rqs {

// Registers the kit's value transformers under their class names, for interface files to name.
// The application calls it once at start-up, before any interface file is loaded.
void registerValueTransformers();

} // namespace rqs
