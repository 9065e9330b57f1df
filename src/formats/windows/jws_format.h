#pragma once

#include "convert/file_format.h"
#include "formats/windows/jws_file.h"

namespace penmorph::jw {

// JWS symbols for the batch driver and `penmorph-cli info`. The file list shows no memo for
// them: a symbol's header holds none.
class JwsFormat : public FileFormat {
 public:
  std::string_view Name() const override { return "JWS"; }
  std::string_view Extension() const override { return ".JWS"; }

  bool Probe(const std::filesystem::path& file) override { return JwsProbe(file); }
  Status Read(const std::filesystem::path& file) override { return JwsRead(file, workspace_); }
  Status Remap(const ConversionTables& tables) override { return JwsRemap(workspace_, tables.jww); }
  Status Write(ByteSink& out) override;
  void Clear() override { JwsClear(workspace_); }
  Result<FileDescription> Describe(const std::filesystem::path& file) override;

  JwsWorkspace& workspace() { return workspace_; }

 private:
  JwsWorkspace workspace_;
};

}  // namespace penmorph::jw
