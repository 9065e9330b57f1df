#pragma once

// Paths and file names stay the bytes the file system gave; they are decoded only to be shown.
// Drawings copied from old Windows archives often carry Shift-JIS names, so a name that is not
// UTF-8 is shown as Shift-JIS rather than as replacement characters.

#include <QString>
#include <string>
#include <string_view>

#include "convert/file_format.h"

namespace penmorph {

// File-system bytes (a name or a path) for display.
QString DisplayText(std::string_view native);
// A path the user picked in a dialog, as file-system bytes.
std::string NativePath(const QString& path);
// Text in the program's code page (Shift-JIS) for display.
QString FromShiftJis(std::string_view bytes);
// The memo column's text.
QString MemoText(const HeaderMemo& memo);

}  // namespace penmorph
