#pragma once

// The two DOS formats as the batch driver and the file list meet them. Each owns the working
// storage of one file at a time.

#include "convert/file_format.h"
#include "formats/dos/jwc_file.h"
#include "formats/dos/jwk_file.h"

namespace penmorph {

class JwcFormat : public FileFormat {
 public:
  std::string_view Name() const override { return "JWC"; }
  std::string_view Extension() const override { return ".JWC"; }
  bool Probe(const std::filesystem::path& file) override { return JwcProbe(file); }
  Status Read(const std::filesystem::path& file) override { return JwcRead(file, workspace_); }
  Status Remap(const ConversionTables& tables) override { return JwcRemap(workspace_, tables.jwc); }
  Status Write(ByteSink& out) override { return JwcWrite(workspace_, out); }
  void Clear() override { JwcClear(workspace_); }
  std::optional<HeaderMemo> ReadMemo(const std::filesystem::path& file) override;
  Result<FileDescription> Describe(const std::filesystem::path& file) override;

  const JwcWorkspace& workspace() const { return workspace_; }

 private:
  JwcWorkspace workspace_;
};

class JwkFormat : public FileFormat {
 public:
  std::string_view Name() const override { return "JWK"; }
  std::string_view Extension() const override { return ".JWK"; }
  bool Probe(const std::filesystem::path& file) override { return JwkProbe(file); }
  Status Read(const std::filesystem::path& file) override { return JwkRead(file, workspace_); }
  Status Remap(const ConversionTables& tables) override { return JwkRemap(workspace_, tables.jwc); }
  Status Write(ByteSink& out) override { return JwkWrite(workspace_, out); }
  void Clear() override { JwkClear(workspace_); }
  std::optional<HeaderMemo> ReadMemo(const std::filesystem::path& file) override;
  Result<FileDescription> Describe(const std::filesystem::path& file) override;

  const JwkWorkspace& workspace() const { return workspace_; }

 private:
  JwkWorkspace workspace_;
};

}  // namespace penmorph
