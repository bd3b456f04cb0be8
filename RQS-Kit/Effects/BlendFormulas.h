#pragma once

#include "platform/fx/Buffer.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The blend modes of the kit's blend filters, each written once here so that it can be checked
// from outside. Cs and Cb are the straight colours of the source (upper) and backdrop (lower)
// pixel: premultiplied colour ÷ alpha (0 where alpha is 0), clamped to 0..1 for the mode; as, ab
// their alphas; cs, cb the premultiplied colours.
//
// Compositing, for every mode, is the general formula of W3C Compositing and Blending Level 1
// (https://www.w3.org/TR/compositing-1/, "Blending", source-over with a blend function B):
//     co = cs·(1 − ab) + cb·(1 − as) + as·ab·B(Cb, Cs)        ao = as + ab·(1 − as)
// Intensity i (0..1) scales the source pixel (cs, as → i·cs, i·as) before compositing. Both sides
// are linear in the source, so this equals b + i·(full blend − b): intensity 0 leaves the backdrop.
//
// W3C separable modes, per channel:
//   sourceOver        B = Cs                                   (W3C normal)
//   multiply          B = Cb·Cs
//   negativeMultiply  B = Cb + Cs − Cb·Cs                      (W3C screen)
//   overlay           B = hardLight(Cs, Cb), the roles swapped
//   colorDodge        B = 0 if Cb = 0; 1 if Cs = 1; else min(1, Cb ÷ (1 − Cs))
//   colorBurn         B = 1 if Cb = 1; 0 if Cs = 0; else 1 − min(1, (1 − Cb) ÷ Cs)
//   hardLight         B = Cb·2Cs if Cs ≤ 0.5; else screen(Cb, 2Cs − 1)
//   softLight         B = Cb − (1 − 2Cs)·Cb·(1 − Cb) if Cs ≤ 0.5;
//                     else Cb + (2Cs − 1)·(D(Cb) − Cb), D(x) = ((16x − 12)x + 4)x if x ≤ 0.25, else √x
// W3C non-separable modes, with Lum(C) = 0.3 R + 0.59 G + 0.11 B and W3C's SetLum and ClipColor:
//   colorBlend        B = SetLum(Cs, Lum(Cb))                  (W3C color)
//   luminosityBlend   B = SetLum(Cb, Lum(Cs))                  (W3C luminosity)
// The standard definitions of the modes W3C leaves out, per channel:
//   linearBurn        B = max(0, Cb + Cs − 1)
//   linearDodge       B = min(1, Cb + Cs)
//   vividLight        B = colorBurn(Cb, 2Cs) if Cs ≤ 0.5; else colorDodge(Cb, 2Cs − 1)
//   linearLight       B = clamp(Cb + 2Cs − 1, 0, 1)  (linearBurn(Cb, 2Cs), linearDodge(Cb, 2Cs − 1))
//   hardMix           B = 1 if Cb + Cs ≥ 1; else 0
namespace rqs::blend {

using Rgb = std::array<float, 3>;
using Function = Rgb (*)(const Rgb &backdrop, const Rgb &source);

// The fifteen names, in the kit's order.
const QStringList &modeNames();
// nullopt for a name that is none of them (exact letter case).
std::optional<Function> modeNamed(const QString &name);

// The source pixel at intensity i composited over the backdrop by B.
platform::fx::Pixel composite(Function blend, const platform::fx::Pixel &source, const platform::fx::Pixel &backdrop,
                              float intensity);

} // namespace rqs::blend
