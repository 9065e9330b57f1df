#include "reference/dos_files.h"

#include <string>
#include <string_view>

#include "common/byte_reader.h"

namespace penmorph::jw {

namespace {

bool FileStartsWith(const std::filesystem::path& file, std::string_view signature) {
  auto reader = ByteReader::OpenFile(file);
  if (!reader.ok()) {
    return false;
  }
  std::string head = reader->read_string(signature.size());
  return reader->ok() && head == signature;
}

// Empties the workspace, then reads the file with `read_from`.
template <class Workspace>
Status ReadFileWith(const std::filesystem::path& file, Workspace& workspace,
                    Status (*read_from)(ByteReader&, Workspace&), void (*clear)(Workspace&)) {
  clear(workspace);
  auto in = ByteReader::OpenFile(file);
  if (!in.ok()) {
    return in.error();
  }
  return read_from(in.value(), workspace);
}

}  // namespace

bool JwcProbe(const std::filesystem::path& file) {
  return FileStartsWith(file, kJwcMagic);
}

bool JwkProbe(const std::filesystem::path& file) {
  return FileStartsWith(file, kJwkMagic);
}

Status JwcReadHeaderInfo(const std::filesystem::path& file, JwcWorkspace& workspace) {
  return ReadFileWith<JwcWorkspace>(file, workspace, JwcReadHeaderInfo, JwcClear);
}

Status JwcRead(const std::filesystem::path& file, JwcWorkspace& workspace) {
  return ReadFileWith<JwcWorkspace>(file, workspace, JwcRead, JwcClear);
}

Status JwkReadHeaderInfo(const std::filesystem::path& file, JwkWorkspace& workspace) {
  return ReadFileWith<JwkWorkspace>(file, workspace, JwkReadHeaderInfo, JwkClear);
}

Status JwkRead(const std::filesystem::path& file, JwkWorkspace& workspace) {
  return ReadFileWith<JwkWorkspace>(file, workspace, JwkRead, JwkClear);
}

}  // namespace penmorph::jw
