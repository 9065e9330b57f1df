#pragma once

#include "convert/file_format.h"
#include "formats/windows/jww_file.h"

namespace penmorph::jw {

// JWW drawings for the batch driver, the file list and `penmorph-cli info`.
class JwwFormat : public FileFormat {
 public:
  std::string_view Name() const override { return "JWW"; }
  std::string_view Extension() const override { return ".JWW"; }

  bool Probe(const std::filesystem::path& file) override { return JwwProbe(file); }
  Status Read(const std::filesystem::path& file) override { return JwwRead(file, workspace_); }
  Status Remap(const ConversionTables& tables) override { return JwwRemap(workspace_, tables.jww); }
  Status Write(ByteSink& out) override;
  void DeleteExtractedFiles() override { JwwDeleteExtractedImages(workspace_); }
  void Clear() override { JwwClear(workspace_); }
  std::optional<HeaderMemo> ReadMemo(const std::filesystem::path& file) override;
  Result<FileDescription> Describe(const std::filesystem::path& file) override;

  JwwWorkspace& workspace() { return workspace_; }

 private:
  JwwWorkspace workspace_;
};

// The memo as the file list shows it: byte strings as stored, wide ones as UTF-8.
HeaderMemo MemoOf(const ArchiveString& memo);

// Counts per kind, for descriptions of both Windows formats.
void DescribeEntities(const EntityTables& entities, const std::vector<TEntBlockDef>& block_defs,
                      FileDescription& description);

}  // namespace penmorph::jw
