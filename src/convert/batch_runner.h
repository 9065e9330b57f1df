#pragma once

// A batch of files converted by several workers at once. Whatever the number of workers, the
// outcomes come out in the order of the files and the outputs are the bytes one worker would
// write: files whose outputs or backups share a name are converted one after the other, in
// their order. A stop request lets every file in hand finish (complete or untouched) and leaves
// the rest not done.
//
// The files are taken from their source as the workers need them and each outcome is handed to
// the listener and forgotten, so that a run over an archive of any size holds only the files in
// hand: a tree is walked while it is converted.

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "convert/batch_converter.h"

namespace penmorph {

struct BatchJob {
  std::filesystem::path source;
  std::filesystem::path output;
  std::string shown;  // the file as a report names it; empty: its path
};

// Where a run's files come from, one after another in their order.
class JobSource {
 public:
  virtual ~JobSource() = default;
  virtual std::optional<BatchJob> Next() = 0;
};

// The files of a list.
class JobList : public JobSource {
 public:
  explicit JobList(const std::vector<BatchJob>& jobs) : jobs_(jobs) {}
  std::optional<BatchJob> Next() override;

 private:
  const std::vector<BatchJob>& jobs_;
  std::size_t next_ = 0;
};

// Told of each file as it starts and ends. The runner calls it from its workers, one call at a
// time, so a listener needs no lock of its own; `Finished` comes in the order files end, which
// may differ from theirs (a file not done because of a stop is finished without being started).
class BatchListener {
 public:
  virtual ~BatchListener() = default;
  virtual void Started(std::size_t /*index*/, const BatchJob& /*job*/) {}
  virtual void Finished(std::size_t /*index*/, const BatchJob& /*job*/,
                        const FileOutcome& /*outcome*/) {}
};

// How many files ended each way.
struct BatchCounts {
  std::size_t converted = 0;
  std::size_t skipped = 0;
  std::size_t failed = 0;
  std::size_t not_done = 0;

  void Add(OutcomeKind kind);
  std::size_t Of(OutcomeKind kind) const;
  std::size_t Total() const { return converted + skipped + failed + not_done; }
};

struct BatchOptions {
  unsigned workers = 1;
  const std::atomic<bool>* stop = nullptr;  // set by whoever may stop the run
  bool create_folders = false;              // make missing destination folders (a tree's layout)
};

// The number of workers to use when none is asked for: one per processor.
unsigned DefaultWorkers();

// Every file of `jobs`, each outcome told to the listener and not kept.
BatchCounts RunBatch(BatchConverter& converter, FileSystem& file_system, JobSource& jobs,
                     const BatchOptions& options, BatchListener& listener);

// A list's run with every outcome kept, in the list's order.
BatchResult RunBatch(BatchConverter& converter, FileSystem& file_system,
                     const std::vector<BatchJob>& jobs, const BatchOptions& options,
                     BatchListener& listener);

}  // namespace penmorph
