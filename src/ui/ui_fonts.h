#pragma once

#include <QFont>

namespace penmorph {

// The Windows fonts first, then the Japanese families a Linux desktop has, so that Japanese
// captions never fall back to a font without the characters.
QFont ProportionalUiFont(int pixel_size = 12);  // "ＭＳ Ｐゴシック" and its stand-ins
QFont FixedUiFont(int pixel_size = 12);         // "ＭＳ ゴシック" and its stand-ins

}  // namespace penmorph
