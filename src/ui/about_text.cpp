#include "ui/about_text.h"

#ifndef PENMORPH_VERSION
#error "PENMORPH_VERSION comes from the CMake project version"
#endif

namespace penmorph {

QString AboutText() {
  return QStringLiteral("Penmorph " PENMORPH_VERSION
                        "\n\n"
                        "jw_cad の図面・図形ファイル (JWW/JWS/JWC/JWK) の"
                        "ペン番号と線種を一括で変換します。\n\n"
                        "MIT License, the Penmorph developers");
}

}  // namespace penmorph
