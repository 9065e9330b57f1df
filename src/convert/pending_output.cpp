#include "convert/pending_output.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

fs::path FolderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

fs::path FreeTemporaryName(FileSystem& file_system, const fs::path& folder,
                           std::string_view purpose) {
  fs::path name = UniqueTemporaryName(folder, purpose);
  while (file_system.Exists(name)) {
    name = UniqueTemporaryName(folder, purpose);
  }
  return name;
}

}  // namespace

Result<PendingOutput> PendingOutput::Begin(FileSystem& file_system, fs::path output) {
  fs::path temporary = FreeTemporaryName(file_system, FolderOf(output), "new");
  auto sink = file_system.CreateExclusive(temporary);
  if (!sink.ok()) {
    return sink.error();
  }
  return PendingOutput(file_system, std::move(output), std::move(temporary),
                       std::move(sink.value()));
}

PendingOutput::PendingOutput(FileSystem& file_system, fs::path output, fs::path temporary,
                             std::unique_ptr<FileSink> sink)
    : file_system_(&file_system),
      output_(std::move(output)),
      temporary_(std::move(temporary)),
      sink_(std::move(sink)) {}

PendingOutput::PendingOutput(PendingOutput&& other) noexcept
    : file_system_(other.file_system_),
      output_(std::move(other.output_)),
      temporary_(std::move(other.temporary_)),
      sink_(std::move(other.sink_)),
      finished_(other.finished_) {
  other.finished_ = true;
}

PendingOutput::~PendingOutput() {
  Discard();
}

void PendingOutput::Discard() {
  if (finished_) {
    return;
  }
  finished_ = true;
  if (sink_) {
    (void)sink_->Close();
  }
  (void)file_system_->Remove(temporary_);
}

Status PendingOutput::Commit(const fs::path& backup) {
  if (finished_) {
    return IoError("output " + output_.string() + " was already finished");
  }
  FileSystem& files = *file_system_;
  auto fail = [&](Error error) -> Status {
    Discard();
    return error;
  };
  if (Status closed = sink_->Close(); !closed.ok()) {
    return fail(closed.error());
  }
  bool had_output = files.Exists(output_);
  if (had_output && files.IsDirectory(output_)) {
    return fail(IoError("a folder has the name of the output " + output_.string()));
  }
  bool had_backup = had_output && files.Exists(backup);
  if (had_backup && files.IsDirectory(backup)) {
    return fail(IoError("a folder has the name of the backup " + backup.string()));
  }

  // The older backup is only set aside until the new file is in place, so that a failure on
  // the way can put everything back.
  fs::path aside;
  if (had_backup) {
    aside = FreeTemporaryName(files, FolderOf(backup), "old");
    if (Status moved = files.Rename(backup, aside); !moved.ok()) {
      return fail(moved.error());
    }
  }
  auto restore_backup = [&](Error error) -> Status {
    if (had_backup) {
      if (Status back = files.Rename(aside, backup); !back.ok()) {
        error.message += "; the older backup is left as " + aside.string();
      }
    }
    return fail(std::move(error));
  };
  if (had_output) {
    if (Status moved = files.Rename(output_, backup); !moved.ok()) {
      return restore_backup(moved.error());
    }
  }
  if (Status placed = files.Rename(temporary_, output_); !placed.ok()) {
    Error error = placed.error();
    if (had_output) {
      if (Status back = files.Rename(backup, output_); !back.ok()) {
        error.message += "; the previous output is left as " + backup.string();
      }
    }
    return restore_backup(std::move(error));
  }
  finished_ = true;
  if (had_backup) {
    (void)files.Remove(aside);  // a leftover is recognisable by its name
  }
  return Status::Ok();
}

}  // namespace penmorph
