#include "convert/pending_output.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/byte_reader.h"
#include "common/path_text.h"

namespace penmorph {

namespace fs = std::filesystem;

fs::path FolderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

namespace {

// How many fresh names a creation tries before it gives up: a taken name is all but unheard of
// (64 random bits each), so more than one try means something else is wrong.
constexpr int kNameAttempts = 16;

bool NameTaken(const Error& error) {
  return error.cause == SystemCause::kNameTaken;
}

// A new file under a temporary name no file had: the creation itself tells when a name is
// taken, so no name is looked up first.
Result<std::unique_ptr<FileSink>> CreateTemporary(FileSystem& files, const fs::path& folder,
                                                  fs::path& name) {
  for (int attempt = 1;; ++attempt) {
    name = UniqueTemporaryName(folder, kNewOutputPurpose);
    auto sink = files.CreateExclusive(name);
    if (sink.ok() || !NameTaken(sink.error()) || attempt == kNameAttempts) {
      return sink;
    }
  }
}

// A complete copy of `file` under a kept name: copied to a temporary name first, so that the
// kept name only ever holds whole copies.
Status CopyAs(FileSystem& files, const fs::path& file, const fs::path& kept) {
  auto in = ByteReader::OpenFile(file);
  if (!in.ok()) {
    return in.error();
  }
  fs::path copy;
  auto sink = CreateTemporary(files, FolderOf(kept), copy);
  if (!sink.ok()) {
    return sink.error();
  }
  constexpr std::size_t kPiece = 1 << 16;
  Status copied = in->CopyTo(*sink.value(), in->size(), kPiece);
  Status closed = sink.value()->Close();
  if (copied.ok()) {
    copied = closed;
  }
  if (copied.ok()) {
    copied = files.Rename(copy, kept);
  }
  if (!copied.ok()) {
    (void)files.Remove(copy);
  }
  return copied;
}

// The existing output under a second name: a hard link where the file system has them, else a
// copy.
Result<fs::path> KeepPrevious(FileSystem& files, const fs::path& output) {
  const std::string subject = PathToUtf8(output.filename());
  for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
    fs::path kept = UniqueTemporaryName(FolderOf(output), kKeptOutputPurpose, subject);
    Status linked = files.CreateHardLink(output, kept);
    if (linked.ok()) {
      return kept;
    }
    if (!NameTaken(linked.error())) {
      break;  // no hard links here
    }
  }
  // The copy is renamed to the kept name, which would replace a file of that name: a free one
  // is looked for first.
  fs::path kept = UniqueTemporaryName(FolderOf(output), kKeptOutputPurpose, subject);
  while (files.Exists(kept)) {
    kept = UniqueTemporaryName(FolderOf(output), kKeptOutputPurpose, subject);
  }
  if (Status copied = CopyAs(files, output, kept); !copied.ok()) {
    return copied.error();
  }
  return kept;
}

// Whether two files hold the same bytes; nullopt when either cannot be read.
std::optional<bool> SameBytes(const fs::path& a, const fs::path& b) {
  auto first = ByteReader::OpenFile(a);
  auto second = ByteReader::OpenFile(b);
  if (!first.ok() || !second.ok()) {
    return std::nullopt;
  }
  if (first->size() != second->size()) {
    return false;
  }
  constexpr std::size_t kPiece = 1 << 16;
  std::vector<std::uint8_t> x(kPiece);
  std::vector<std::uint8_t> y(kPiece);
  for (std::uint64_t left = first->size(); left > 0;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPiece));
    first->read_bytes({x.data(), n});
    second->read_bytes({y.data(), n});
    if (!first->ok() || !second->ok()) {
      return std::nullopt;
    }
    if (!std::equal(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n), y.begin())) {
      return false;
    }
    left -= n;
  }
  return true;
}

}  // namespace

Result<PendingOutput> PendingOutput::Begin(FileSystem& file_system, fs::path output,
                                           std::span<std::uint8_t> write_buffer) {
  // Without the folder's lock: the new file is held from its creation on (a recovery that took
  // it for a leftover in the moment before makes the creation fail, and another name is taken).
  fs::path temporary;
  auto sink = CreateTemporary(file_system, FolderOf(output), temporary);
  if (!sink.ok()) {
    return sink.error();
  }
  sink.value()->LendBuffer(write_buffer);
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
      finished_(other.finished_),
      backup_(std::move(other.backup_)) {
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
  return Commit([&backup](const fs::path&) { return backup; });
}

Status PendingOutput::Commit(const std::function<fs::path(const fs::path&)>& backup_of) {
  if (finished_) {
    return IoError("output " + PathToUtf8(output_) + " was already finished");
  }
  FileSystem& files = *file_system_;
  auto fail = [&](Error error) -> Status {
    Discard();
    return error;
  };
  // Where no file has the output's name, the new file takes it in one step while it is still
  // held, so that no other run's recovery can take it for a leftover meanwhile, and without the
  // folder's lock: a recovery puts a kept file back only where the name is free, in one step too.
  Result<bool> placed = files.RenameIfFree(temporary_, output_);
  if (!placed.ok()) {
    return fail(placed.error());
  }
  if (placed.value()) {
    finished_ = true;
    if (Status closed = sink_->Close(); !closed.ok()) {
      (void)files.Remove(output_);  // the name was free: free again, as before
      return closed;
    }
    return Status::Ok();
  }
  // Taken before the new file is closed, and so unlocked: from then on only the folder's lock
  // keeps another run's recovery from taking it, or the previous output's second name, for a
  // leftover.
  const std::unique_ptr<FolderLock> folder_lock = files.LockFolder(FolderOf(output_));
  if (Status closed = sink_->Close(); !closed.ok()) {
    return fail(closed.error());
  }
  bool had_output = files.Exists(output_);
  if (had_output && files.IsDirectory(output_)) {
    return fail(IoError("a folder has the name of the output " + PathToUtf8(output_),
                        SystemCause::kNameTaken));
  }
  if (had_output) {
    // Looked at before the backup is named: an output that stays as it is keeps no backup.
    if (Status replaceable = files.CheckReplaceable(output_); !replaceable.ok()) {
      return fail(replaceable.error());
    }
  }
  const fs::path backup = had_output ? backup_of(output_) : fs::path();
  if (had_output && files.IsDirectory(backup)) {
    return fail(IoError("a folder has the name of the backup " + PathToUtf8(backup),
                        SystemCause::kNameTaken));
  }
  if (had_output) {
    if (Status replaceable = files.CheckReplaceable(backup); !replaceable.ok()) {
      return fail(replaceable.error());
    }
  }

  // The previous output keeps a second name while the new file takes its own, so that the
  // name is never empty and a failure on the way can put everything back.
  fs::path kept;
  if (had_output) {
    Result<fs::path> made = KeepPrevious(files, output_);
    if (!made.ok()) {
      return fail(made.error());
    }
    kept = made.value();
  }
  if (Status placed = files.Rename(temporary_, output_); !placed.ok()) {
    if (had_output) {
      (void)files.Remove(kept);  // a leftover is recognised by the next run
    }
    return fail(placed.error());
  }
  finished_ = true;
  if (had_output) {
    // Replaces an older backup in one step.
    if (Status moved = files.Rename(kept, backup); !moved.ok()) {
      Error error = moved.error();
      if (Status back = files.Rename(kept, output_); !back.ok()) {
        error.message +=
            "; the new output is in place and the previous one is left as " + PathToUtf8(kept);
      }
      return error;
    }
    backup_ = backup;
  }
  return Status::Ok();
}

std::vector<std::string> RecoverInterruptedOutputs(FileSystem& files, const fs::path& folder,
                                                   const BackupNamer& backup_of) {
  std::vector<std::string> done;
  // No run puts an output into place here meanwhile: what is left now was left by the dead.
  const std::unique_ptr<FolderLock> folder_lock = files.LockFolder(folder);
  auto names = files.ListFolder(folder);
  if (!names.ok()) {
    return done;
  }
  for (const std::string& name : names.value()) {
    const fs::path file = folder / PathFromUtf8(name);
    if (std::optional<std::string> subject = MatchTemporaryName(name, kNewOutputPurpose);
        subject && subject->empty()) {
      // Left alone while a run that is alive is writing it.
      if (Result<bool> removed = files.RemoveUnlessInUse(file); removed.ok() && removed.value()) {
        done.push_back("removed " + name);
      }
      continue;
    }
    std::optional<std::string> output_name = MatchTemporaryName(name, kKeptOutputPurpose);
    if (!output_name || output_name->empty()) {
      continue;  // without its output's name, the kept file is left for the user
    }
    const fs::path output = folder / PathFromUtf8(*output_name);
    if (!files.Exists(output)) {
      // A run may place a new output under the name at this moment without the folder's lock:
      // only a free name is taken, else the kept file is dealt with as below.
      Result<bool> put_back = files.RenameIfFree(file, output);
      if (put_back.ok() && put_back.value()) {
        done.push_back("put " + name + " back as " + *output_name);
        continue;
      }
      if (!put_back.ok()) {
        continue;
      }
      if (!files.Exists(output)) {
        if (files.Rename(file, output).ok()) {
          done.push_back("put " + name + " back as " + *output_name);
        }
        continue;
      }
    }
    std::optional<bool> same = SameBytes(file, output);
    if (!same) {
      continue;
    }
    if (*same) {
      if (files.Remove(file).ok()) {
        done.push_back("removed " + name + ", a copy of " + *output_name);
      }
    } else {
      const fs::path backup = backup_of(output);
      if (!files.IsDirectory(backup) && files.Rename(file, backup).ok()) {
        done.push_back("made " + name + " the backup " + PathToUtf8(backup.filename()));
      }
    }
  }
  return done;
}

}  // namespace penmorph
