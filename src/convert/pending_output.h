#pragma once

// A new output file that only appears under its name once it is complete. The bytes go to a
// temporary file in the destination folder; Commit keeps the existing output under a second
// name, renames the temporary file over it and then makes the kept file the backup. The output
// name never stands empty, even for a moment: a run killed anywhere leaves under it the old
// bytes or the complete new file. Until Commit succeeds - and whenever it fails - the folder
// holds exactly what it held before.

#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/file_sink.h"
#include "common/file_system.h"
#include "common/result.h"

namespace penmorph {

// The folder a file lies in; "." for a bare name, which lies in the current one.
std::filesystem::path FolderOf(const std::filesystem::path& file);

class PendingOutput {
 public:
  // `write_buffer`: memory the caller keeps for the writer of the file (see
  // ByteSink::LentBuffer), or none.
  static Result<PendingOutput> Begin(FileSystem& file_system, std::filesystem::path output,
                                     std::span<std::uint8_t> write_buffer = {});

  PendingOutput(PendingOutput&& other) noexcept;
  PendingOutput& operator=(PendingOutput&&) = delete;
  ~PendingOutput();

  FileSink& sink() { return *sink_; }
  const std::filesystem::path& temporary_path() const { return temporary_; }

  // Completes the output. An existing output becomes `backup` (an older backup is replaced).
  Status Commit(const std::filesystem::path& backup);
  // The same, with the backup's name asked of `backup_of` only when there is an output to keep.
  Status Commit(
      const std::function<std::filesystem::path(const std::filesystem::path&)>& backup_of);
  // Once a Commit has replaced an existing output, the name it kept that output under; else empty.
  const std::filesystem::path& backup() const { return backup_; }
  // Removes the temporary file; the folder is left as it was.
  void Discard();

 private:
  PendingOutput(FileSystem& file_system, std::filesystem::path output,
                std::filesystem::path temporary, std::unique_ptr<FileSink> sink);

  FileSystem* file_system_;
  std::filesystem::path output_;
  std::filesystem::path temporary_;
  std::unique_ptr<FileSink> sink_;
  bool finished_ = false;  // committed or discarded
  std::filesystem::path backup_;
};

// Finishes, in `folder`, what a run that was killed in the middle of a Commit left behind, and
// removes its temporary files; only names UniqueTemporaryName gives are touched:
// - a temporary new output (complete or not) is removed: its output still holds the old bytes;
// - a kept previous output whose output still has the same bytes was not yet replaced: it is
//   removed, and the older backup stays;
// - one whose output now holds other bytes was replaced by the new file: it becomes the backup,
//   as the Commit would have made it;
// - one whose output is gone is put back under the output's name.
// Returns a line for each file it dealt with. Failures leave the file as it is.
using BackupNamer = std::function<std::filesystem::path(const std::filesystem::path& output)>;
std::vector<std::string> RecoverInterruptedOutputs(FileSystem& file_system,
                                                   const std::filesystem::path& folder,
                                                   const BackupNamer& backup_of);

// What the temporary files of PendingOutput are named for.
inline constexpr std::string_view kNewOutputPurpose = "new";
inline constexpr std::string_view kKeptOutputPurpose = "bak";

}  // namespace penmorph
