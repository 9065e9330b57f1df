#include "formats/windows/jww_format.h"

namespace penmorph::jw {

HeaderMemo MemoOf(const ArchiveString& memo) {
  if (memo.wide) {
    return {Utf16LeToUtf8(memo.bytes), true};
  }
  return {memo.bytes, false};
}

void DescribeEntities(const EntityTables& entities, const std::vector<TEntBlockDef>& block_defs,
                      FileDescription& description) {
  static constexpr std::pair<EntityKind, const char*> kKinds[] = {
      {EntityKind::kLine, "lines"},
      {EntityKind::kArc, "arcs"},
      {EntityKind::kPoint, "points"},
      {EntityKind::kText, "texts"},
      {EntityKind::kDimension, "dimensions"},
      {EntityKind::kSolid, "solids"},
      {EntityKind::kBlock, "block insertions"}};
  for (const auto& [kind, label] : kKinds) {
    description.counts.emplace_back(label, entities.Count(kind));
  }
  description.counts.emplace_back("block definitions", block_defs.size());
  std::uint64_t members = 0;
  for (const TEntBlockDef& def : block_defs) {
    members += def.members.size();
  }
  description.counts.emplace_back("block definition members", members);
}

Status JwwFormat::Write(ByteSink& out) {
  ByteWriter writer(out);
  return JwwWrite(writer, workspace_, workspace_.header.version);
}

std::optional<HeaderMemo> JwwFormat::ReadMemo(const std::filesystem::path& file) {
  // A workspace of its own: listing a folder never disturbs a drawing being converted.
  JwwWorkspace header_only;
  if (!JwwReadHeaderInfo(file, header_only).ok()) {
    return std::nullopt;
  }
  return MemoOf(header_only.header.memo);
}

Result<FileDescription> JwwFormat::Describe(const std::filesystem::path& file) {
  // Image bytes are skipped, not extracted: a description needs only names and sizes.
  ImageSwitches saved = workspace_.switches;
  workspace_.switches.extract_images = false;
  Status read = JwwRead(file, workspace_);
  workspace_.switches = saved;
  if (!read.ok()) {
    JwwClear(workspace_);
    return read.error();
  }
  FileDescription description;
  description.format = "JWW";
  description.version = std::to_string(workspace_.header.version);
  HeaderMemo memo = MemoOf(workspace_.header.memo);
  description.memo = memo.text;
  description.memo_is_utf8 = memo.utf8;
  if (workspace_.header.memo.wide) {
    description.details.push_back("strings: wide (UTF-16)");
  }
  DescribeEntities(workspace_.entities, workspace_.block_defs, description);
  description.counts.emplace_back("images", workspace_.images.size());
  for (std::size_t i = 0; i < workspace_.images.size(); ++i) {
    const TBindImageType& image = workspace_.images[i];
    HeaderMemo name = MemoOf(image.name);
    description.details.push_back("image " + std::to_string(i + 1) + ": " +
                                  std::to_string(image.size) + " bytes, " +
                                  (name.utf8 ? "" : "(Shift-JIS) ") + name.text);
  }
  JwwClear(workspace_);
  workspace_.images.clear();
  return description;
}

}  // namespace penmorph::jw
