#pragma once

// The layer table's new names put into a drawing's header (items 11 and 12). Each name goes in
// as the kind of string the drawing's own name is: jw_cad's Unicode builds store wide names, the
// others Shift-JIS, and a drawing read back by either must find the name it wrote.

#include "common/result.h"
#include "formats/windows/jww_header.h"
#include "settings/layer_table.h"

namespace penmorph::jw {

// Replaces every name the table gives; the states, scales and other names stay. Fails
// (kUnencodable) for a name Shift-JIS cannot hold where the drawing's name is a byte string.
Status RenameLayers(THeader& header, const LayerTable& table);

}  // namespace penmorph::jw
