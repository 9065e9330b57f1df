#include "convert/batch_converter.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "common/byte_writer.h"
#include "common/path_text.h"
#include "common/text.h"
#include "convert/pending_output.h"
#include "convert/source_file.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

FileOutcome Finish(FileOutcome& outcome, OutcomeKind kind, OutcomeReason why = {}) {
  outcome.kind = kind;
  outcome.reason = EnglishReason(why);
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

std::string EnglishReason(const OutcomeReason& reason) {
  const std::string error = reason.error ? reason.error->Describe() : std::string();
  switch (reason.kind) {
    case ReasonKind::kNone:
      break;
    case ReasonKind::kNoExtension:
      return "not a jw_cad file (no extension)";
    case ReasonKind::kNotJwCadType:
      return "not a jw_cad file type (" + reason.subject + ")";
    case ReasonKind::kNoSignature:
      return "not a " + reason.subject + " file (no " + reason.subject + " signature)";
    case ReasonKind::kNameNotAllowed:
    case ReasonKind::kUnreadable:
      return reason.subject;
    case ReasonKind::kSameFolder:
      return "the destination folder is the file's own folder";
    case ReasonKind::kCannotRead:
      return "cannot read: " + error;
    case ReasonKind::kCannotConvert:
      return "cannot convert: " + error;
    case ReasonKind::kCannotWrite:
      return "cannot write: " + error;
    case ReasonKind::kInternalError:
      return "internal error: " + reason.subject;
    case ReasonKind::kStopped:
      return "not converted: the run was stopped first";
  }
  return {};
}

fs::path BackupPath(const fs::path& output) {
  fs::path backup = output;
  backup.replace_extension(".BAK");
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

bool BatchConverter::WritesIntoOwnFolder(const fs::path& source, const fs::path& output) {
  fs::path source_folder = FolderOf(source);
  fs::path output_folder = FolderOf(output);
  std::lock_guard lock(folders_mutex_);
  if (!last_folders_ || last_folders_->source != source_folder ||
      last_folders_->output != output_folder) {
    const bool same = SameFolder(source_folder, output_folder);
    last_folders_ = FolderPair{std::move(source_folder), std::move(output_folder), same};
  }
  return last_folders_->same;
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
  const std::string name = PathToUtf8(source.filename());
  const FileFormat* format = formats_.FindForFile(name);
  if (format == nullptr) {
    std::string_view extension = name.empty() ? std::string_view() : FileExtension(name);
    return Finish(outcome, OutcomeKind::kSkipped,
                  extension.empty() ? Because(ReasonKind::kNoExtension)
                                    : Because(ReasonKind::kNotJwCadType, std::string(extension)));
  }
  // Back for the next file however this one ends; the reader below is gone by then.
  BuffersInHand buffers(*this);
  Result<ByteReader> in = OpenSource(source, buffers->read);
  if (!in.ok()) {
    return Finish(outcome, OutcomeKind::kFailed, Unreadable(in.error()));
  }
  if (!HasSignature(*format, in.value())) {
    return Finish(outcome, OutcomeKind::kSkipped,
                  Because(ReasonKind::kNoSignature, std::string(format->Name())));
  }
  if (WritesIntoOwnFolder(source, output)) {
    return Finish(outcome, OutcomeKind::kFailed, Because(ReasonKind::kSameFolder));
  }
  observer_.Converting(source, output);
  try {
    ConvertWith(*format, in.value(), *buffers, outcome);
  } catch (const std::exception& error) {
    // Nothing may end a batch; the output, if any, was discarded on the way out.
    Finish(outcome, OutcomeKind::kFailed, Because(ReasonKind::kInternalError, error.what()));
  }
  return outcome;
}

void BatchConverter::ConvertWith(const FileFormat& format, ByteReader& in, Buffers& buffers,
                                 FileOutcome& outcome) {
  constexpr std::size_t kWriteBuffer = ByteWriter::kDefaultBufferSize;
  auto pending = PendingOutput::Begin(file_system_, outcome.output,
                                      {buffers.write.Reserve(kWriteBuffer), kWriteBuffer});
  if (!pending.ok()) {
    Finish(outcome, OutcomeKind::kFailed, Because(ReasonKind::kCannotWrite, pending.error()));
    return;
  }
  if (ConversionStatus converted = format.Convert(in, tables_, pending->sink()); !converted.ok()) {
    pending->Discard();
    static constexpr ReasonKind kByStage[] = {ReasonKind::kCannotRead, ReasonKind::kCannotConvert,
                                              ReasonKind::kCannotWrite};
    Finish(outcome, OutcomeKind::kFailed,
           Because(kByStage[static_cast<int>(converted.stage())], converted.error()));
    return;
  }
  if (Status committed = pending->Commit(BackupPath(outcome.output)); !committed.ok()) {
    Finish(outcome, OutcomeKind::kFailed, Because(ReasonKind::kCannotWrite, committed.error()));
    return;
  }
  outcome.kept_backup = pending->replaced_output();
  Finish(outcome, OutcomeKind::kConverted);
}

}  // namespace penmorph
