#include "cli/convert_report.h"

#include <cstdio>
#include <filesystem>

#include "common/file_system.h"
#include "common/path_text.h"
#include "common/text_decoding.h"

namespace penmorph {

namespace {

bool IsUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                               : lead >= 0xE0                 ? 3
                               : lead >= 0xC2                 ? 2
                                                              : 0;
    if (length == 0 || i + length > text.size()) {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        return false;
      }
    }
    i += length;
  }
  return true;
}

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

std::string Duration(double seconds) {
  const auto whole = static_cast<long long>(seconds + 0.5);
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

}  // namespace

std::string JsonString(const std::string& raw) {
  const std::string text = IsUtf8(raw) ? raw : ShiftJisToUtf8(raw);
  std::string json = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          json += escaped;
        } else {
          json += c;
        }
    }
  }
  return json + "\"";
}

ConvertReport::ConvertReport(std::ostream& out, std::ostream& err, bool json, bool progress,
                             std::size_t total)
    : out_(out), err_(err), json_(json), progress_(progress), total_(total) {}

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
  if (index == printed_) {
    Print(job, outcome, milliseconds);
    ++printed_;
  } else {
    waiting_.emplace(index, Waiting{job, outcome, milliseconds});
  }
  for (auto next = waiting_.find(printed_); next != waiting_.end();
       next = waiting_.find(printed_)) {
    Print(next->second.job, next->second.outcome, next->second.milliseconds);
    waiting_.erase(next);
    ++printed_;
  }
  ShowProgress(false);
}

void ConvertReport::Print(const BatchJob& job, const FileOutcome& outcome, double milliseconds) {
  if (progress_) {
    err_ << "\r" << std::string(72, ' ') << "\r";  // the progress line gives way
    err_.flush();
  }
  const std::string file = job.shown.empty() ? PathToUtf8(job.source) : job.shown;
  if (json_) {
    std::uint64_t bytes = 0;
    if (outcome.kind == OutcomeKind::kConverted) {
      std::error_code ec;
      const auto size = std::filesystem::file_size(job.output, ec);
      bytes = ec ? 0 : size;
    }
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.3f", milliseconds);
    out_ << "{\"source\":" << JsonString(file)
         << ",\"destination\":" << JsonString(PathToUtf8(job.output)) << ",\"outcome\":\""
         << OutcomeWord(outcome.kind) << "\",\"reason\":" << JsonString(outcome.reason)
         << ",\"bytes\":" << bytes << ",\"milliseconds\":" << elapsed << "}\n";
  } else {
    switch (outcome.kind) {
      case OutcomeKind::kConverted:
        out_ << "converted " << file << " -> " << PathToUtf8(outcome.output) << "\n";
        break;
      case OutcomeKind::kSkipped:
        out_ << "skipped " << file << ": " << outcome.reason << "\n";
        break;
      case OutcomeKind::kFailed:
        out_ << "failed " << file << ": " << outcome.reason << "\n";
        break;
      case OutcomeKind::kNotDone:
        break;  // counted in the summary
    }
  }
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
  std::snprintf(line, sizeof line, "%zu of %zu files, %.1f files/s, %s left", done_, total_, rate,
                rate > 0 ? Duration(left / rate).c_str() : "?");
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
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.3f", seconds);
    out_ << "{\"summary\":{\"converted\":" << counts.Of(OutcomeKind::kConverted)
         << ",\"skipped\":" << counts.Of(OutcomeKind::kSkipped)
         << ",\"failed\":" << counts.Of(OutcomeKind::kFailed)
         << ",\"not_done\":" << counts.Of(OutcomeKind::kNotDone) << ",\"seconds\":" << elapsed
         << ",\"stopped\":" << (stopped ? "true" : "false") << "}}\n";
  } else {
    out_ << counts.Of(OutcomeKind::kConverted) << " converted, " << counts.Of(OutcomeKind::kSkipped)
         << " skipped, " << counts.Of(OutcomeKind::kFailed) << " failed\n";
  }
  out_.flush();
  if (stopped) {
    err_ << "penmorph-cli: stopped; " << counts.Of(OutcomeKind::kNotDone) << " of "
         << counts.Total() << " files were not looked at\n";
  }
}

}  // namespace penmorph
