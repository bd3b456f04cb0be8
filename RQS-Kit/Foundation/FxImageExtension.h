#pragma once

#include "platform/fx/Kernel.h"

#include <QImage>

#include <optional>

// Rendering, fixing and measuring engine images, and samplers of them.
namespace rqs {

// The pixels of the image's extent, its size cut to whole numbers, as an sRGB bitmap. Null with a
// "Warning: " line for a null, empty, infinite or oversized extent, which is never allocated.
QImage newCGImage(const platform::fx::Image &image);
// The pixels the extent touches, rendered by the shared context for unrendered images (made here
// when missing), as untagged (device RGB) 8-bit RGBA. Null with a "Warning: " line as newCGImage.
QImage newCGImageUnrendered(const platform::fx::Image &image);
// The image moved so that its extent starts at the origin, then drawn at the extent's size rounded
// up, as a picture made of it would be: a fractional origin is resampled, not rounded outwards.
// sRGB; null with a "Warning: " line as newCGImage.
QImage newCGImageViaNSImage(const platform::fx::Image &image);
// Makes the context newCGImageUnrendered renders with anew. Renders under way finish with the old
// one; safe on any thread.
void createContext();
// A rendered 8-bit copy of the pixels the extent touches, each as a render of the image gives it,
// so that later uses no longer run the recipe; the image itself when its extent is empty or
// infinite.
platform::fx::Image fixedImage(const platform::fx::Image &image);
// The mean over the extent, un-premultiplied with the alpha taken as at least 0.001; a clear image
// gives (0, 0, 0, 0). nullopt (logged) for a null or infinite image. Safe on any thread.
std::optional<platform::fx::Color> averageColor(const platform::fx::Image &image);
// A null image is logged and still gives its (empty) sampler.
platform::fx::Sampler samplerWithNonNilImage(const platform::fx::Image &image,
                                             platform::fx::Wrap wrap = platform::fx::Wrap::Transparent,
                                             platform::fx::Filtering filtering = platform::fx::Filtering::Linear);

} // namespace rqs
