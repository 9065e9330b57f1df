#include "convert/batch_converter.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "common/path_text.h"
#include "common/text.h"
#include "convert/pending_output.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

FileOutcome Finish(FileOutcome& outcome, OutcomeKind kind, std::string reason = {}) {
  outcome.kind = kind;
  outcome.reason = std::move(reason);
  return outcome;
}

fs::path WithoutTrailingSeparator(fs::path path) {
  path = path.lexically_normal();
  if (!path.has_filename() && path.has_relative_path()) {
    path = path.parent_path();
  }
  return path;
}

// A file the program may open; the probe alone cannot tell a missing file from a foreign one.
std::string UnreadableReason(const fs::path& file) {
  switch (KindOfPath(file)) {
    case PathKind::kMissing:
      return "no such file";
    case PathKind::kFolder:
    case PathKind::kOther:
      return "not a regular file";
    case PathKind::kFile:
      break;
  }
  std::FILE* handle = OpenFile(file, "rb");
  if (handle == nullptr) {
    return "cannot open the file: " + LastSystemError();
  }
  std::fclose(handle);
  return {};
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

std::string ConvertingStatus(const fs::path& source, const fs::path& output) {
  return "ファイル「" + PathToUtf8(source) + "」→「" + PathToUtf8(output) + "」変換中です。";
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
                               ConversionUi& ui, FileSystem& file_system)
    : formats_(formats), tables_(tables), ui_(ui), file_system_(file_system) {}

bool BatchConverter::PassesChecks(const BatchRequest& request) {
  auto refuse = [this](MessageKind kind, std::string_view text) {
    ui_.Beep();
    ui_.ShowMessage(kind, text);
    return false;
  };
  if (!request.tree_ready) {
    refuse(MessageKind::kError, batch_text::kNoTree);
    ui_.SetStatus(batch_text::kNoTree);
    return false;
  }
  if (!request.list_ready) {
    return refuse(MessageKind::kError, batch_text::kNoList);
  }
  if (request.destination_folder.empty()) {
    return refuse(MessageKind::kConfirmation, batch_text::kNoDestination);
  }
  if (KindOfPath(PathFromUtf8(request.destination_folder)) != PathKind::kFolder) {
    return refuse(MessageKind::kConfirmation, batch_text::kDestinationMissing);
  }
  if (SameFolder(PathFromUtf8(request.destination_folder), PathFromUtf8(request.source_folder))) {
    return refuse(MessageKind::kConfirmation, batch_text::kSameFolder);
  }
  return true;
}

BatchResult BatchConverter::Run(const BatchRequest& request) {
  BatchResult result;
  if (!PassesChecks(request)) {
    return result;
  }
  if (!ui_.AskYesNo(batch_text::kConfirm)) {
    ui_.SetStatus(batch_text::kCancelled);
    return result;
  }
  result.ran = true;
  // One kind of separator in the names shown, whichever the folder fields hold.
  const fs::path source_folder = PathFromUtf8(request.source_folder).make_preferred();
  const fs::path destination_folder = PathFromUtf8(request.destination_folder).make_preferred();
  const std::size_t total = request.file_names.size();
  for (std::size_t i = 0; i < total; ++i) {
    ui_.ReportProgress(i, total);
    const std::string& name = request.file_names[i];
    result.outcomes.push_back(
        ConvertFile(source_folder / PathFromUtf8(name), destination_folder / PathFromUtf8(name)));
  }
  ui_.ReportProgress(total, total);
  ui_.SetStatus(batch_text::kDone);
  return result;
}

FileOutcome BatchConverter::ConvertFile(const fs::path& source, const fs::path& output) {
  FileOutcome outcome;
  outcome.source = source;
  outcome.output = output;
  const fs::path folder = output.parent_path().empty() ? fs::path(".") : output.parent_path();
  if (recovered_folders_.insert(folder).second && file_system_.IsDirectory(folder)) {
    (void)RecoverInterruptedOutputs(file_system_, folder, BackupPath);
  }
  if (std::string problem = NameProblem(source, output); !problem.empty()) {
    return Finish(outcome, OutcomeKind::kFailed, problem);
  }
  const std::string name = PathToUtf8(source.filename());
  FileFormat* format = formats_.FindForFile(name);
  if (format == nullptr) {
    std::string_view extension = name.empty() ? std::string_view() : FileExtension(name);
    return Finish(outcome, OutcomeKind::kSkipped,
                  extension.empty() ? "not a jw_cad file (no extension)"
                                    : "not a jw_cad file type (" + std::string(extension) + ")");
  }
  if (std::string reason = UnreadableReason(source); !reason.empty()) {
    return Finish(outcome, OutcomeKind::kFailed, reason);
  }
  if (!format->Probe(source)) {
    return Finish(outcome, OutcomeKind::kSkipped,
                  "not a " + std::string(format->Name()) + " file (no " +
                      std::string(format->Name()) + " signature)");
  }
  if (SameFolder(source.parent_path().empty() ? fs::path(".") : source.parent_path(),
                 output.parent_path().empty() ? fs::path(".") : output.parent_path())) {
    return Finish(outcome, OutcomeKind::kFailed, "the destination folder is the file's own folder");
  }
  ui_.SetStatus(ConvertingStatus(source, output));
  try {
    ConvertWith(*format, outcome);
  } catch (const std::exception& error) {
    // Nothing may end a batch; the output, if any, was discarded on the way out.
    Finish(outcome, OutcomeKind::kFailed, std::string("internal error: ") + error.what());
  }
  format->DeleteExtractedFiles();
  format->Clear();
  return outcome;
}

void BatchConverter::ConvertWith(FileFormat& format, FileOutcome& outcome) {
  if (Status read = format.Read(outcome.source); !read.ok()) {
    Finish(outcome, OutcomeKind::kFailed, "cannot read: " + read.error().Describe());
    return;
  }
  if (Status remapped = format.Remap(tables_); !remapped.ok()) {
    Finish(outcome, OutcomeKind::kFailed, "cannot convert: " + remapped.error().Describe());
    return;
  }
  auto pending = PendingOutput::Begin(file_system_, outcome.output);
  if (!pending.ok()) {
    Finish(outcome, OutcomeKind::kFailed, "cannot write: " + pending.error().Describe());
    return;
  }
  if (Status written = format.Write(pending->sink()); !written.ok()) {
    pending->Discard();
    Finish(outcome, OutcomeKind::kFailed, "cannot write: " + written.error().Describe());
    return;
  }
  if (Status committed = pending->Commit(BackupPath(outcome.output)); !committed.ok()) {
    Finish(outcome, OutcomeKind::kFailed, "cannot write: " + committed.error().Describe());
    return;
  }
  Finish(outcome, OutcomeKind::kConverted);
}

}  // namespace penmorph
