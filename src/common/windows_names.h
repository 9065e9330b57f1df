#pragma once

#include <string>
#include <string_view>

namespace penmorph {

// Why Windows would not give a file this name its plain meaning, or "" when it would: a device
// name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$; any case, with or without an
// extension) opens the device, a final dot or space is dropped by the system (so another file
// would be opened), and the characters <>:"/\|?* and control characters have other meanings.
std::string WindowsNameProblem(std::string_view file_name);

}  // namespace penmorph
