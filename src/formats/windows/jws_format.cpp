#include "formats/windows/jws_format.h"

#include "formats/windows/jww_format.h"

namespace penmorph::jw {

Status JwsFormat::Write(ByteSink& out) {
  ByteWriter writer(out);
  return JwsWrite(writer, workspace_, workspace_.header.version);
}

Result<FileDescription> JwsFormat::Describe(const std::filesystem::path& file) {
  Status read = JwsRead(file, workspace_);
  if (!read.ok()) {
    JwsClear(workspace_);
    return read.error();
  }
  FileDescription description;
  description.format = "JWS";
  description.has_memo = false;
  const std::int32_t version = workspace_.header.version;
  description.version = std::to_string(version);
  if (NormalizedJwsVersion(version) != version) {
    description.details.push_back("written as version " +
                                  std::to_string(NormalizedJwsVersion(version)));
  }
  DescribeEntities(workspace_.entities, workspace_.block_defs, description);
  JwsClear(workspace_);
  return description;
}

}  // namespace penmorph::jw
