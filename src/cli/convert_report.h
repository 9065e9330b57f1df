#pragma once

// What `penmorph-cli convert` prints while the run goes: each file's line (or JSON object) in
// the order of the files, however the workers finish, and at the end the summary; on a terminal
// also a progress line on stderr. The words scripts look for - converted, skipped, failed, the
// summary line, the JSON keys - are the same in every language; the reasons and the messages
// for people follow the language.

#include <chrono>
#include <cstddef>
#include <map>
#include <ostream>
#include <string>

#include "cli/language.h"
#include "convert/batch_runner.h"

namespace penmorph {

class ConvertReport : public BatchListener {
 public:
  // `total` is the number of files the progress line counts down from.
  ConvertReport(std::ostream& out, std::ostream& err, bool json, bool progress, std::size_t total,
                Language language = Language::kEnglish);

  void Started(std::size_t index, const BatchJob& job) override;
  void Finished(std::size_t index, const BatchJob& job, const FileOutcome& outcome) override;

  // The summary, once every file has been told of.
  void Close(const BatchCounts& counts, bool stopped);

 private:
  // A file's line (empty for a file not done), and its printing.
  std::string Line(const BatchJob& job, const FileOutcome& outcome, double milliseconds) const;
  void Print(const std::string& line);
  void ShowProgress(bool final);

  using Clock = std::chrono::steady_clock;
  std::ostream& out_;
  std::ostream& err_;
  const bool json_;
  const bool progress_;
  const std::size_t total_;
  const Language language_;
  std::map<std::size_t, std::string> waiting_;        // lines finished ahead of their turn
  std::map<std::size_t, Clock::time_point> started_;  // files in hand
  std::size_t printed_ = 0;                           // files before this one are printed
  std::size_t done_ = 0;
  Clock::time_point begin_ = Clock::now();
  Clock::time_point last_progress_{};
};

}  // namespace penmorph
