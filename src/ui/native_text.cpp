#include "ui/native_text.h"

#include <QFile>
#include <QStringDecoder>

namespace penmorph {

namespace {

bool IsValidUtf8(std::string_view bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return !decoder.hasError();
}

}  // namespace

QString FromShiftJis(std::string_view bytes) {
  QStringDecoder decoder("Shift_JIS");
  if (!decoder.isValid()) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }
  return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString DisplayText(std::string_view native) {
  if (IsValidUtf8(native)) {
    return QString::fromUtf8(native.data(), static_cast<qsizetype>(native.size()));
  }
  return FromShiftJis(native);
}

std::string NativePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString MemoText(const HeaderMemo& memo) {
  if (memo.utf8) {
    return QString::fromUtf8(memo.text.data(), static_cast<qsizetype>(memo.text.size()));
  }
  return FromShiftJis(memo.text);
}

}  // namespace penmorph
