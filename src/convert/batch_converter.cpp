#include "convert/batch_converter.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "common/byte_writer.h"
#include "common/patch_sink.h"
#include "common/path_text.h"
#include "common/text.h"
#include "convert/pending_output.h"
#include "convert/source_file.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

FileOutcome Finish(FileOutcome& outcome, OutcomeKind kind, OutcomeReason why = {}) {
  outcome.kind = kind;
  outcome.why = std::move(why);
  return outcome;
}

OutcomeReason Because(ReasonKind kind, std::string subject = {}) {
  return {kind, std::move(subject), std::nullopt};
}

OutcomeReason Because(ReasonKind kind, const Error& error) {
  return {kind, {}, error};
}

// A source that cannot be opened: the subject is the error's English, as the command line
// prints it; the error keeps the cause for the window.
OutcomeReason Unreadable(Error error) {
  std::string subject = error.message;
  return {ReasonKind::kUnreadable, std::move(subject), std::move(error)};
}

fs::path WithoutTrailingSeparator(fs::path path) {
  path = path.lexically_normal();
  if (!path.has_filename() && path.has_relative_path()) {
    path = path.parent_path();
  }
  return path;
}

// A name the platform would not give its plain meaning is refused before anything opens it.
std::string NameProblem(const fs::path& source, const fs::path& output) {
  for (const fs::path* path : {&source, &output}) {
    if (std::string problem = PlatformNameProblem(PathToUtf8(path->filename())); !problem.empty()) {
      return problem;
    }
  }
  return {};
}

}  // namespace

std::size_t BatchResult::Count(OutcomeKind kind) const {
  return static_cast<std::size_t>(std::count_if(
      outcomes.begin(), outcomes.end(), [kind](const FileOutcome& o) { return o.kind == kind; }));
}

// The name a file system knows an output by: on Windows letters of either case are one name.
std::string NameKey(const fs::path& path) {
  std::string key = PathToUtf8(path.lexically_normal());
#ifdef _WIN32
  key = ToUpperAscii(key);
#endif
  return key;
}

fs::path BackupPath(const fs::path& output) {
  fs::path backup = output;
  backup.replace_extension(".BAK");
  return backup;
}

fs::path BatchConverter::ClaimBackup(const fs::path& output) {
  // Outputs that differ only in their extension (図面A.jww, 図面A.jws) share NAME.BAK: the first
  // of a run takes it, as always, and the later ones keep their extension in the backup's name,
  // so that no backup made by this run replaces another.
  std::lock_guard lock(backups_mutex_);
  fs::path backup = BackupPath(output);
  for (int n = 1; !backups_made_.insert(NameKey(backup)).second; ++n) {
    backup = output;
    backup += n == 1 ? ".BAK" : "." + std::to_string(n) + ".BAK";
  }
  return backup;
}

bool SameFolder(const fs::path& a, const fs::path& b) {
  if (std::optional<bool> same = SameFileOrFolder(a, b)) {
    return *same;
  }
  return WithoutTrailingSeparator(a) == WithoutTrailingSeparator(b);
}

BatchConverter::BatchConverter(const FormatRegistry& formats, const ConversionTables& tables,
                               ConversionObserver& observer, FileSystem& file_system)
    : formats_(formats), tables_(tables), observer_(observer), file_system_(file_system) {}

void BatchConverter::RecoverFolder(const fs::path& folder) {
  std::lock_guard lock(recovered_mutex_);
  if (recovered_folders_.insert(folder).second && file_system_.IsDirectory(folder)) {
    (void)RecoverInterruptedOutputs(file_system_, folder, BackupPath);
  }
}

BatchConverter::Folders BatchConverter::FoldersOf(const fs::path& source, const fs::path& output) {
  fs::path source_folder = FolderOf(source);
  fs::path output_folder = FolderOf(output);
  std::lock_guard lock(folders_mutex_);
  if (!last_folders_ || last_folders_->source != source_folder ||
      last_folders_->output != output_folder) {
    const Folders folders{SameFolder(source_folder, output_folder),
                          file_system_.PatchesCopies(output_folder)};
    last_folders_ = FolderPair{std::move(source_folder), std::move(output_folder), folders};
  }
  return last_folders_->folders;
}

BatchConverter::BuffersInHand::BuffersInHand(BatchConverter& converter) : converter_(converter) {
  std::lock_guard lock(converter_.buffers_mutex_);
  if (converter_.free_buffers_.empty()) {
    buffers_ = std::make_unique<Buffers>();
  } else {
    buffers_ = std::move(converter_.free_buffers_.back());
    converter_.free_buffers_.pop_back();
  }
}

BatchConverter::BuffersInHand::~BuffersInHand() {
  std::lock_guard lock(converter_.buffers_mutex_);
  converter_.free_buffers_.push_back(std::move(buffers_));
}

FileOutcome BatchConverter::ConvertFile(const fs::path& source, const fs::path& output) {
  FileOutcome outcome;
  outcome.source = source;
  outcome.output = output;
  RecoverFolder(FolderOf(output));
  if (std::string problem = NameProblem(source, output); !problem.empty()) {
    return Finish(outcome, OutcomeKind::kFailed, Because(ReasonKind::kNameNotAllowed, problem));
  }
  const SourceJudgement by_name = JudgeName(formats_, source);
  if (by_name.kind != SourceKind::kDrawing) {
    return Finish(outcome, OutcomeKind::kSkipped, by_name.why);
  }
  const FileFormat* format = by_name.format;
  const Folders folders = FoldersOf(source, output);
  // Back for the next file however this one ends; the reader below is gone by then.
  BuffersInHand buffers(*this);
  Result<ByteReader> in = OpenSource(source, buffers->read);
  if (!in.ok()) {
    return Finish(outcome, OutcomeKind::kFailed, Unreadable(in.error()));
  }
  // A large file (a small one is in memory already) whose output may be a patched copy is not
  // read at all but for its signature: the system copies it, and the copy is what is read.
  const bool unread = in->file() != nullptr && folders.patches && format->Traits().patches_in_place;
  const SourceJudgement by_content = JudgeContent(
      *format, unread ? HasSignature(*format, in->file()) : HasSignature(*format, in.value()));
  if (by_content.kind != SourceKind::kDrawing) {
    return Finish(outcome, OutcomeKind::kSkipped, by_content.why);
  }
  if (folders.same) {
    return Finish(outcome, OutcomeKind::kFailed, Because(ReasonKind::kSameFolder));
  }
  observer_.Converting(source, output);
  try {
    ConvertWith(*format, in.value(), *buffers, unread, outcome);
  } catch (const std::exception& error) {
    // Nothing may end a batch; the output, if any, was discarded on the way out.
    Finish(outcome, OutcomeKind::kFailed, Because(ReasonKind::kInternalError, error.what()));
  }
  return outcome;
}

std::optional<ConversionStatus> BatchConverter::ConvertInPlace(
    const FileFormat& format, ByteReader& in, PendingOutput& pending,
    std::span<std::uint8_t> write_buffer) {
  FileSink& file = pending.sink();
  const std::span<std::uint8_t> copy = file.CopyIn(in.file(), in.size());
  if (copy.empty()) {
    return std::nullopt;
  }
  ByteReader image = file.ReadCopy();
  PatchSink patched(copy, image, write_buffer,
                    [&file](std::uint64_t passed) { file.ReleaseCopy(passed); });
  ConversionStatus converted = format.Convert(image, tables_, patched);
  if (patched.diverged() || file.CopyFellShort()) {
    // Converted again from the source, as if no copy had been tried.
    if (Status dropped = file.DropCopy(); !dropped.ok()) {
      return ConversionStatus::Failed(ConversionStage::kWrite, dropped.error());
    }
    return std::nullopt;
  }
  if (!converted.ok()) {
    return converted;
  }
  return ConversionStatus::At(ConversionStage::kWrite, file.EndCopy(patched.length()));
}

void BatchConverter::ConvertWith(const FileFormat& format, ByteReader& in, Buffers& buffers,
                                 bool patch, FileOutcome& outcome) {
  constexpr std::size_t kWriteBuffer = ByteWriter::kDefaultBufferSize;
  const std::span<std::uint8_t> write_buffer{buffers.write.Reserve(kWriteBuffer), kWriteBuffer};
  auto pending = PendingOutput::Begin(file_system_, outcome.output, write_buffer);
  if (!pending.ok()) {
    Finish(outcome, OutcomeKind::kFailed, Because(ReasonKind::kCannotWrite, pending.error()));
    return;
  }
  std::optional<ConversionStatus> in_place;
  if (patch) {
    in_place = ConvertInPlace(format, in, pending.value(), write_buffer);
  }
  if (ConversionStatus converted =
          in_place ? *in_place : format.Convert(in, tables_, pending->sink());
      !converted.ok()) {
    pending->Discard();
    static constexpr ReasonKind kByStage[] = {ReasonKind::kCannotRead, ReasonKind::kCannotConvert,
                                              ReasonKind::kCannotWrite};
    Finish(outcome, OutcomeKind::kFailed,
           Because(kByStage[static_cast<int>(converted.stage())], converted.error()));
    return;
  }
  if (Status committed =
          pending->Commit([this](const fs::path& output) { return ClaimBackup(output); });
      !committed.ok()) {
    Finish(outcome, OutcomeKind::kFailed, Because(ReasonKind::kCannotWrite, committed.error()));
    return;
  }
  outcome.backup = pending->backup();
  Finish(outcome, OutcomeKind::kConverted);
}

}  // namespace penmorph
