#pragma once

// What `penmorph-cli convert` prints while the run goes: each file's line (or JSON object) in
// the order of the files, however the workers finish, and at the end the summary; on a terminal
// also a progress line on stderr.

#include <chrono>
#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "convert/batch_runner.h"

namespace penmorph {

class ConvertReport : public BatchListener {
 public:
  // `shown` is how each file is named in the report: as given, or as found in a tree.
  ConvertReport(std::ostream& out, std::ostream& err, const std::vector<BatchJob>& jobs,
                std::vector<std::string> shown, bool json, bool progress);

  void Started(std::size_t index) override;
  void Finished(std::size_t index, const FileOutcome& outcome) override;

  // The files not yet printed (those not done included) and the summary.
  void Close(const BatchResult& result, bool stopped);

 private:
  void Print(std::size_t index, const FileOutcome& outcome);
  void ShowProgress(bool final);

  using Clock = std::chrono::steady_clock;
  std::ostream& out_;
  std::ostream& err_;
  const std::vector<BatchJob>& jobs_;
  std::vector<std::string> shown_;
  const bool json_;
  const bool progress_;
  // Files finished before one ahead of them: held only until their turn to be printed.
  std::map<std::size_t, FileOutcome> waiting_;
  std::vector<Clock::time_point> started_;
  std::vector<double> milliseconds_;
  std::size_t printed_ = 0;  // files before this one are printed
  std::size_t done_ = 0;
  Clock::time_point begin_ = Clock::now();
  Clock::time_point last_progress_{};
};

// A JSON string for UTF-8 text; bytes that are not UTF-8 are read as Shift-JIS first, as the
// window shows such names.
std::string JsonString(const std::string& text);

}  // namespace penmorph
