#include "cli/convert_report.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "cli/json_output.h"
#include "cli/reason_text.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "common/text.h"

namespace penmorph {

namespace {

std::string_view OutcomeWord(OutcomeKind kind) {
  switch (kind) {
    case OutcomeKind::kConverted:
      return "converted";
    case OutcomeKind::kSkipped:
      return "skipped";
    case OutcomeKind::kFailed:
      return "failed";
    case OutcomeKind::kNotDone:
      return "not done";
  }
  return "";
}

// Times to the thousandth, as they were always printed; more digits would only be noise.
double Thousandths(double value) {
  return std::round(value * 1000) / 1000;
}

}  // namespace

ConvertReport::ConvertReport(std::ostream& out, std::ostream& err, bool json, bool progress,
                             std::size_t total, Language language)
    : out_(out), err_(err), json_(json), progress_(progress), total_(total), language_(language) {}

void ConvertReport::Started(std::size_t index, const BatchJob&) {
  started_.emplace(index, Clock::now());
}

void ConvertReport::Finished(std::size_t index, const BatchJob& job, const FileOutcome& outcome) {
  double milliseconds = 0;  // a file not done was never started
  if (auto started = started_.find(index); started != started_.end()) {
    milliseconds =
        std::chrono::duration<double, std::milli>(Clock::now() - started->second).count();
    started_.erase(started);
  }
  if (outcome.kind != OutcomeKind::kNotDone) {
    ++done_;
  }
  // The line is made now, so that a file finished ahead of its turn waits as its text alone.
  std::string line = Line(job, outcome, milliseconds);
  if (index == printed_) {
    Print(line);
    ++printed_;
  } else {
    waiting_.emplace(index, std::move(line));
  }
  for (auto next = waiting_.find(printed_); next != waiting_.end();
       next = waiting_.find(printed_)) {
    Print(next->second);
    waiting_.erase(next);
    ++printed_;
  }
  ShowProgress(false);
}

std::string ConvertReport::Line(const BatchJob& job, const FileOutcome& outcome,
                                double milliseconds) const {
  const std::string file = job.shown.empty() ? PathToUtf8(job.source) : job.shown;
  if (json_) {
    std::uint64_t bytes = 0;
    if (outcome.kind == OutcomeKind::kConverted) {
      std::error_code ec;
      const auto size = std::filesystem::file_size(job.output, ec);
      bytes = ec ? 0 : size;
    }
    Json line;
    PutName(line, "source", file);
    PutName(line, "destination", PathToUtf8(job.output));
    line["outcome"] = OutcomeWord(outcome.kind);
    line["reason"] = JsonText(ReasonText(outcome.why, language_));
    line["bytes"] = bytes;
    line["milliseconds"] = Thousandths(milliseconds);
    if (outcome.kept_backup()) {
      PutName(line, "backup", PathToUtf8(outcome.backup));
    } else {
      line["backup"] = nullptr;
    }
    return JsonDump(line) + "\n";
  }
  switch (outcome.kind) {
    case OutcomeKind::kConverted:
      if (outcome.kept_backup()) {
        const std::string backup = PathToUtf8(outcome.backup.filename());
        return "converted " + file + " -> " + PathToUtf8(outcome.output) +
               (language_ == Language::kJapanese
                    ? "（前の出力は " + backup + " として残しました）\n"
                    : " (the earlier output kept as " + backup + ")\n");
      }
      return "converted " + file + " -> " + PathToUtf8(outcome.output) + "\n";
    case OutcomeKind::kSkipped:
      return "skipped " + file + ": " + ReasonText(outcome.why, language_) + "\n";
    case OutcomeKind::kFailed:
      return "failed " + file + ": " + ReasonText(outcome.why, language_) + "\n";
    case OutcomeKind::kNotDone:
      break;  // counted in the summary
  }
  return {};
}

void ConvertReport::Print(const std::string& line) {
  if (line.empty()) {
    return;
  }
  if (progress_) {
    err_ << "\r" << std::string(72, ' ') << "\r";  // the progress line gives way
    err_.flush();
  }
  out_ << line;
  out_.flush();  // a line per file as it ends, also into a pipe
}

void ConvertReport::ShowProgress(bool final) {
  if (!progress_) {
    return;
  }
  const Clock::time_point now = Clock::now();
  if (!final && now - last_progress_ < std::chrono::milliseconds(100)) {
    return;
  }
  last_progress_ = now;
  const double seconds = std::chrono::duration<double>(now - begin_).count();
  const double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0;
  const std::size_t left = total_ > done_ ? total_ - done_ : 0;
  char line[128];
  const std::string time_left = rate > 0 ? DurationText(left / rate) : "?";
  if (language_ == Language::kJapanese) {
    std::snprintf(line, sizeof line, "%zu / %zu 個のファイル、毎秒 %.1f 個、残り %s", done_, total_,
                  rate, time_left.c_str());
  } else {
    std::snprintf(line, sizeof line, "%zu of %zu files, %.1f files/s, %s left", done_, total_, rate,
                  time_left.c_str());
  }
  err_ << "\r" << line;
  if (final) {
    err_ << "\r" << std::string(72, ' ') << "\r";
  }
  err_.flush();
}

void ConvertReport::Close(const BatchCounts& counts, bool stopped) {
  ShowProgress(true);
  const double seconds = std::chrono::duration<double>(Clock::now() - begin_).count();
  if (json_) {
    Json summary;
    summary["converted"] = counts.Of(OutcomeKind::kConverted);
    summary["skipped"] = counts.Of(OutcomeKind::kSkipped);
    summary["failed"] = counts.Of(OutcomeKind::kFailed);
    summary["not_done"] = counts.Of(OutcomeKind::kNotDone);
    summary["seconds"] = Thousandths(seconds);
    summary["stopped"] = stopped;
    Json line;
    line["summary"] = std::move(summary);
    out_ << JsonDump(line) << "\n";
  } else {
    // The one form scripts read, in every language.
    out_ << counts.Of(OutcomeKind::kConverted) << " converted, " << counts.Of(OutcomeKind::kSkipped)
         << " skipped, " << counts.Of(OutcomeKind::kFailed) << " failed\n";
  }
  out_.flush();
  if (stopped) {
    const std::string not_done = std::to_string(counts.Of(OutcomeKind::kNotDone));
    const std::string total = std::to_string(counts.Total());
    err_ << "penmorph-cli: "
         << (language_ == Language::kJapanese
                 ? "中止しました。" + total + " 個のうち " + not_done +
                       " 個のファイルは手を付けていません"
                 : "stopped; " + not_done + " of " + total + " files were not looked at")
         << "\n";
  }
}

}  // namespace penmorph
