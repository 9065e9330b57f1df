#pragma once

// A batch of files converted by several workers at once. Whatever the number of workers, the
// outcomes come out in the order of the files and the outputs are the bytes one worker would
// write: files whose outputs or backups share a name are converted one after the other, in
// their order, by one worker. A stop request lets every file in hand finish (complete or
// untouched) and leaves the rest not done.

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <vector>

#include "convert/batch_converter.h"

namespace penmorph {

struct BatchJob {
  std::filesystem::path source;
  std::filesystem::path output;
};

// Told of each file as it starts and ends. The runner calls it from its workers, one call at a
// time, so a listener needs no lock of its own; `Finished` comes in the order files end, which
// may differ from theirs.
class BatchListener {
 public:
  virtual ~BatchListener() = default;
  virtual void Started(std::size_t /*index*/) {}
  virtual void Finished(std::size_t /*index*/, const FileOutcome& /*outcome*/) {}
};

struct BatchOptions {
  unsigned workers = 1;
  const std::atomic<bool>* stop = nullptr;  // set by whoever may stop the run
  bool create_folders = false;              // make missing destination folders (a tree's layout)
};

// The number of workers to use when none is asked for: one per processor.
unsigned DefaultWorkers();

BatchResult RunBatch(BatchConverter& converter, FileSystem& file_system,
                     const std::vector<BatchJob>& jobs, const BatchOptions& options,
                     BatchListener& listener);

}  // namespace penmorph
