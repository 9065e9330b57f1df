#pragma once

// The model's UTF-8 texts and paths as Qt takes them, and back.

#include <QString>
#include <filesystem>
#include <string_view>

#include "app/path_text.h"

namespace penmorph {

inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Paths reach Qt's pickers and the desktop as text, and come back the same way.
inline QString PathString(const std::filesystem::path& path) {
  return FromUtf8(app::PathText(path));
}

inline std::filesystem::path PathOf(const QString& text) {
  return app::PathFromText(text.toStdString());
}

}  // namespace penmorph
