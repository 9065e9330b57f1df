#include "convert/batch_runner.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>

#include "common/path_text.h"
#include "common/text.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

// The name a file system knows an output by: on Windows letters of either case are one name.
std::string NameKey(const fs::path& path) {
  std::string key = PathToUtf8(path.lexically_normal());
#ifdef _WIN32
  key = ToUpperAscii(key);
#endif
  return key;
}

// Files that must not be written at the same moment, each group in file order: those sharing
// an output or a backup name.
std::vector<std::vector<std::size_t>> GroupsOf(const std::vector<BatchJob>& jobs) {
  std::vector<std::size_t> parent(jobs.size());
  std::iota(parent.begin(), parent.end(), std::size_t{0});
  auto find = [&](std::size_t i) {
    while (parent[i] != i) {
      parent[i] = parent[parent[i]];
      i = parent[i];
    }
    return i;
  };
  std::map<std::string, std::size_t> first_with;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    for (const fs::path& name : {jobs[i].output, BackupPath(jobs[i].output)}) {
      auto [at, inserted] = first_with.emplace(NameKey(name), i);
      if (!inserted) {
        parent[find(i)] = find(at->second);
      }
    }
  }
  std::map<std::size_t, std::vector<std::size_t>> by_root;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    by_root[find(i)].push_back(i);
  }
  std::vector<std::vector<std::size_t>> groups;
  for (auto& [root, members] : by_root) {
    groups.push_back(std::move(members));
  }
  // The groups in the order of their first file, so that the run works front to back.
  std::sort(groups.begin(), groups.end(),
            [](const auto& a, const auto& b) { return a.front() < b.front(); });
  return groups;
}

FileOutcome NotDone(const BatchJob& job) {
  FileOutcome outcome;
  outcome.kind = OutcomeKind::kNotDone;
  outcome.source = job.source;
  outcome.output = job.output;
  outcome.why.kind = ReasonKind::kStopped;
  outcome.reason = EnglishReason(outcome.why);
  return outcome;
}

}  // namespace

unsigned DefaultWorkers() {
  return std::max(1u, std::thread::hardware_concurrency());
}

BatchResult RunBatch(BatchConverter& converter, FileSystem& file_system,
                     const std::vector<BatchJob>& jobs, const BatchOptions& options,
                     BatchListener& listener) {
  BatchResult result;
  result.outcomes.resize(jobs.size());
  // Before any worker starts: the destination folders, and what interrupted runs left there.
  std::vector<fs::path> folders;
  for (const BatchJob& job : jobs) {
    folders.push_back(job.output.parent_path().empty() ? fs::path(".") : job.output.parent_path());
  }
  std::sort(folders.begin(), folders.end());
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  for (const fs::path& folder : folders) {
    if (options.create_folders && !file_system.IsDirectory(folder)) {
      std::error_code ec;
      fs::create_directories(folder, ec);  // a failure shows as each file's own
    }
    converter.RecoverFolder(folder);
  }

  const std::vector<std::vector<std::size_t>> groups = GroupsOf(jobs);
  std::atomic<std::size_t> next_group{0};
  std::mutex listener_mutex;
  auto stopped = [&] { return options.stop != nullptr && options.stop->load(); };
  auto work = [&] {
    for (std::size_t g; (g = next_group.fetch_add(1)) < groups.size();) {
      for (std::size_t index : groups[g]) {
        if (stopped()) {
          result.outcomes[index] = NotDone(jobs[index]);
          continue;
        }
        {
          std::lock_guard lock(listener_mutex);
          listener.Started(index);
        }
        FileOutcome outcome = converter.ConvertFile(jobs[index].source, jobs[index].output);
        std::lock_guard lock(listener_mutex);
        result.outcomes[index] = std::move(outcome);
        listener.Finished(index, result.outcomes[index]);
      }
    }
  };
  const unsigned workers =
      std::max(1u, std::min<unsigned>(options.workers, static_cast<unsigned>(groups.size())));
  std::vector<std::thread> threads;
  for (unsigned w = 1; w < workers; ++w) {
    threads.emplace_back(work);
  }
  work();
  for (std::thread& thread : threads) {
    thread.join();
  }
  return result;
}

}  // namespace penmorph
