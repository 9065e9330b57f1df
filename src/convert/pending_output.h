#pragma once

// A new output file that only appears under its name once it is complete. The bytes go to a
// temporary file in the destination folder; Commit then moves an existing output aside as the
// backup and renames the temporary file into place. Until Commit succeeds - and whenever it
// fails - the folder holds exactly what it held before.

#include <filesystem>
#include <memory>

#include "common/file_sink.h"
#include "common/file_system.h"
#include "common/result.h"

namespace penmorph {

class PendingOutput {
 public:
  static Result<PendingOutput> Begin(FileSystem& file_system, std::filesystem::path output);

  PendingOutput(PendingOutput&& other) noexcept;
  PendingOutput& operator=(PendingOutput&&) = delete;
  ~PendingOutput();

  ByteSink& sink() { return *sink_; }
  const std::filesystem::path& temporary_path() const { return temporary_; }

  // Completes the output. An existing output becomes `backup` (an older backup is replaced).
  Status Commit(const std::filesystem::path& backup);
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
};

}  // namespace penmorph
