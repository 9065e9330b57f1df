#include "convert/batch_runner.h"

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "common/path_text.h"
#include "common/text.h"
#include "convert/pending_output.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

// How far the workers may run ahead of the oldest file in hand: the files finished ahead of
// their turn wait in a report, and this keeps them few whatever the size of the run.
constexpr std::size_t kWindow = 1024;

FileOutcome NotDone(const BatchJob& job) {
  FileOutcome outcome;
  outcome.kind = OutcomeKind::kNotDone;
  outcome.source = job.source;
  outcome.output = job.output;
  outcome.why.kind = ReasonKind::kStopped;
  return outcome;
}

struct TakenJob {
  std::size_t index = 0;
  BatchJob job;
  std::vector<std::string> names;    // its output's and its backup's
  std::vector<std::size_t> earlier;  // files before it that write one of those names
};

// Hands the files out in their order, one at a time. A file whose output or backup name an
// earlier file in hand also writes waits until that one is finished, so that such files are
// written one after the other in their order; the names of finished files are forgotten.
class Dispatcher {
 public:
  Dispatcher(JobSource& source, BatchConverter& converter, FileSystem& file_system,
             bool create_folders)
      : source_(source),
        converter_(converter),
        file_system_(file_system),
        create_folders_(create_folders) {}

  // The next file, its destination folder made ready unless the run is stopping.
  std::optional<TakenJob> Take(const std::function<bool()>& stopping) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock,
                  [&] { return in_hand_.empty() || next_index_ < *in_hand_.begin() + kWindow; });
    std::optional<BatchJob> job = exhausted_ ? std::nullopt : source_.Next();
    if (!job) {
      exhausted_ = true;
      return std::nullopt;
    }
    TakenJob taken{next_index_++, std::move(*job), {}, {}};
    in_hand_.insert(taken.index);
    taken.names.push_back(NameKey(taken.job.output));
    if (std::string backup = NameKey(BackupPath(taken.job.output)); backup != taken.names[0]) {
      taken.names.push_back(std::move(backup));
    }
    for (const std::string& name : taken.names) {
      auto [at, inserted] = last_with_name_.try_emplace(name, taken.index);
      if (!inserted) {
        taken.earlier.push_back(at->second);
        at->second = taken.index;
      }
    }
    if (!stopping()) {
      PrepareFolder(FolderOf(taken.job.output));
    }
    return taken;
  }

  void WaitForEarlier(const TakenJob& taken) {
    if (taken.earlier.empty()) {
      return;  // the usual case, and no reason to contend for the lock
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
      return std::none_of(taken.earlier.begin(), taken.earlier.end(),
                          [&](std::size_t index) { return in_hand_.count(index) != 0; });
    });
  }

  void Finish(const TakenJob& taken) {
    {
      std::lock_guard lock(mutex_);
      in_hand_.erase(taken.index);
      for (const std::string& name : taken.names) {
        if (auto at = last_with_name_.find(name);
            at != last_with_name_.end() && at->second == taken.index) {
          last_with_name_.erase(at);
        }
      }
    }
    changed_.notify_all();
  }

 private:
  // Before the first file of a folder is written there: the folder, and what interrupted runs
  // left in it. Later files of the folder are taken after this, so no worker of this run is
  // writing there while it is tidied.
  void PrepareFolder(const fs::path& folder) {
    if (folder == prepared_folder_) {
      return;
    }
    if (create_folders_ && !file_system_.IsDirectory(folder)) {
      std::error_code ec;
      fs::create_directories(folder, ec);  // a failure shows as each file's own
    }
    converter_.RecoverFolder(folder);
    prepared_folder_ = folder;
  }

  JobSource& source_;
  BatchConverter& converter_;
  FileSystem& file_system_;
  const bool create_folders_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool exhausted_ = false;
  std::size_t next_index_ = 0;
  std::set<std::size_t> in_hand_;
  std::map<std::string, std::size_t> last_with_name_;  // the latest file in hand to write it
  fs::path prepared_folder_;
};

// Keeps every outcome of a list in its place, and passes each on.
class KeepingListener : public BatchListener {
 public:
  KeepingListener(std::vector<FileOutcome>& outcomes, BatchListener& next)
      : outcomes_(outcomes), next_(next) {}
  void Started(std::size_t index, const BatchJob& job) override { next_.Started(index, job); }
  void Finished(std::size_t index, const BatchJob& job, const FileOutcome& outcome) override {
    outcomes_[index] = outcome;
    next_.Finished(index, job, outcome);
  }

 private:
  std::vector<FileOutcome>& outcomes_;
  BatchListener& next_;
};

}  // namespace

std::optional<BatchJob> JobList::Next() {
  if (next_ == jobs_.size()) {
    return std::nullopt;
  }
  return jobs_[next_++];
}

namespace {

// The count of one kind, for reading and for adding to.
template <typename Counts>
auto& CountOf(Counts& counts, OutcomeKind kind) {
  switch (kind) {
    case OutcomeKind::kConverted:
      return counts.converted;
    case OutcomeKind::kSkipped:
      return counts.skipped;
    case OutcomeKind::kFailed:
      return counts.failed;
    case OutcomeKind::kNotDone:
      break;
  }
  return counts.not_done;
}

}  // namespace

void BatchCounts::Add(OutcomeKind kind) {
  ++CountOf(*this, kind);
}

std::size_t BatchCounts::Of(OutcomeKind kind) const {
  return CountOf(*this, kind);
}

unsigned DefaultWorkers() {
  return std::max(1u, std::thread::hardware_concurrency());
}

BatchCounts RunBatch(BatchConverter& converter, FileSystem& file_system, JobSource& jobs,
                     const BatchOptions& options, BatchListener& listener) {
  Dispatcher dispatcher(jobs, converter, file_system, options.create_folders);
  BatchCounts counts;
  std::mutex listener_mutex;
  const std::function<bool()> stopped = [&] {
    return options.stop != nullptr && options.stop->load();
  };
  auto work = [&] {
    while (std::optional<TakenJob> taken = dispatcher.Take(stopped)) {
      FileOutcome outcome;
      if (stopped()) {
        outcome = NotDone(taken->job);  // the rest of the files pass by untouched
      } else {
        dispatcher.WaitForEarlier(*taken);
        {
          std::lock_guard lock(listener_mutex);
          listener.Started(taken->index, taken->job);
        }
        outcome = converter.ConvertFile(taken->job.source, taken->job.output);
      }
      {
        std::lock_guard lock(listener_mutex);
        counts.Add(outcome.kind);
        listener.Finished(taken->index, taken->job, outcome);
      }
      dispatcher.Finish(*taken);
    }
  };
  std::vector<std::thread> threads;
  for (unsigned w = 1; w < std::max(1u, options.workers); ++w) {
    threads.emplace_back(work);
  }
  work();
  for (std::thread& thread : threads) {
    thread.join();
  }
  return counts;
}

BatchResult RunBatch(BatchConverter& converter, FileSystem& file_system,
                     const std::vector<BatchJob>& jobs, const BatchOptions& options,
                     BatchListener& listener) {
  BatchResult result;
  result.outcomes.resize(jobs.size());
  JobList list(jobs);
  KeepingListener keeping(result.outcomes, listener);
  RunBatch(converter, file_system, list, options, keeping);
  return result;
}

}  // namespace penmorph
