#pragma once

// What the About box says: the program, its version and its licence. The version is the CMake
// project's, the one the package and `penmorph-cli --version` carry; the window's caption keeps
// its own fixed text.

#include <QString>

namespace penmorph {

QString AboutText();

}  // namespace penmorph
