#include "ui/ui_fonts.h"

#include <QStringList>

namespace penmorph {

namespace {

QFont FontOf(const QStringList& families, int pixel_size) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixel_size);
  return font;
}

}  // namespace

QFont ProportionalUiFont(int pixel_size) {
  return FontOf({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                 QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                 QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans JP")},
                pixel_size);
}

QFont FixedUiFont(int pixel_size) {
  QFont font = FontOf(
      {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
       QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP")},
      pixel_size);
  font.setStyleHint(QFont::Monospace);
  return font;
}

}  // namespace penmorph
