#include "formats/windows/layer_names.h"

#include <string>

namespace penmorph::jw {

namespace {

// A new name, which is not empty. `address` is only called to name a layer that cannot be
// renamed: spelling the addresses of every file's 272 layers and groups showed in the cost of
// converting small files.
template <class Address>
Status Rename(ArchiveString& name, const std::string& utf8, const char* what, Address address) {
  std::optional<ArchiveString> encoded = EncodeName(utf8, name.wide);
  if (!encoded) {
    const std::string at = address();
    Error error = MakeError(ErrorKind::kUnencodable, std::string("the new name of ") + what + " " +
                                                         at + " (" + utf8 +
                                                         ") has a character Shift-JIS cannot hold");
    error.detail = UnencodableNameDetail{std::string_view(what) == "group", at, utf8};
    return error;
  }
  name = std::move(*encoded);
  return Status::Ok();
}

}  // namespace

Status RenameLayers(THeader& header, const LayerTable& table) {
  for (int index = 0; index < kLayerCount; ++index) {
    if (table.LayerName(index).empty()) {
      continue;  // the drawing's name stays
    }
    Status renamed = Rename(header.layers[index].name, table.LayerName(index), "layer",
                            [&] { return LayerAddressText(LayerAddress::FromIndex(index)); });
    if (!renamed.ok()) {
      return renamed;
    }
  }
  for (int group = 0; group < kLayerGroupCount; ++group) {
    if (table.GroupName(group).empty()) {
      continue;
    }
    Status renamed = Rename(header.layer_groups[group].name, table.GroupName(group), "group",
                            [&] { return LayerGroupText(group); });
    if (!renamed.ok()) {
      return renamed;
    }
  }
  return Status::Ok();
}

}  // namespace penmorph::jw
