#pragma once

// The batch driver's per-file work: dispatch by extension and probe, then read, remap and write
// into place. Every file ends with an outcome and, when it was not converted, the reason; none
// is lost silently. What comes before a run (checks, questions) belongs to whoever starts it.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "common/conversion_status.h"
#include "common/file_system.h"
#include "common/result.h"
#include "convert/format_registry.h"
#include "convert/source_judgement.h"
#include "settings/conv_settings.h"

namespace penmorph {

class PendingOutput;

enum class OutcomeKind {
  kConverted,
  kSkipped,
  kFailed,
  kNotDone,  // the run was stopped before this file; nothing of it was touched
};

struct FileOutcome {
  OutcomeKind kind = OutcomeKind::kSkipped;
  std::filesystem::path source;
  std::filesystem::path output;
  OutcomeReason why;  // kNone when converted
  // Converted over an existing output, which now has this name: NAME.BAK, or NAME.EXT.BAK where
  // an earlier file of the same run took NAME.BAK already. Empty when there was none.
  std::filesystem::path backup;
  bool kept_backup() const { return !backup.empty(); }
};

struct BatchResult {
  std::vector<FileOutcome> outcomes;
  std::size_t Count(OutcomeKind kind) const;
};

// Told when a file has passed its checks and its conversion begins, so that a window can say
// which file it is working on. When files are converted in parallel, from each worker's thread.
class ConversionObserver {
 public:
  virtual ~ConversionObserver() = default;
  virtual void Converting(const std::filesystem::path& source,
                          const std::filesystem::path& output) = 0;
};

// The name a file system knows an output by: on Windows letters of either case are one name.
std::string NameKey(const std::filesystem::path& path);

// The output path with its extension replaced by ".BAK".
std::filesystem::path BackupPath(const std::filesystem::path& output);

// True when the two names reach the same folder: compared by identity on the file system when
// both exist, else by their normalised spelling.
bool SameFolder(const std::filesystem::path& a, const std::filesystem::path& b);

class BatchConverter {
 public:
  BatchConverter(const FormatRegistry& formats, const ConversionTables& tables,
                 ConversionObserver& observer, FileSystem& file_system);

  // One file: dispatch by extension and probe, then read, remap, write into place. The first
  // time a destination folder is met, what an interrupted run left there is dealt with first
  // (RecoverInterruptedOutputs). May be called from several threads at once.
  FileOutcome ConvertFile(const std::filesystem::path& source, const std::filesystem::path& output);

  // Deals with what an interrupted run left in `folder`, once per converter: a run of several
  // workers does so for each destination folder before any of them writes there.
  void RecoverFolder(const std::filesystem::path& folder);

 private:
  // The memory one file in hand reads into and writes from, kept for the next file.
  struct Buffers {
    ReusedBuffer read;
    ReusedBuffer write;
  };
  // Takes a free set of buffers, and gives it back when it goes.
  class BuffersInHand {
   public:
    explicit BuffersInHand(BatchConverter& converter);
    ~BuffersInHand();
    Buffers& operator*() { return *buffers_; }
    Buffers* operator->() { return buffers_.get(); }

   private:
    BatchConverter& converter_;
    std::unique_ptr<Buffers> buffers_;
  };

  // What the conversion of one file needs to know of its two folders.
  struct Folders {
    bool same = false;     // the output would land in the source's own folder
    bool patches = false;  // outputs there may be copies patched in place
  };

  // `patch`: the source is a large file not read yet, to be tried as a patched copy first.
  void ConvertWith(const FileFormat& format, ByteReader& in, Buffers& buffers, bool patch,
                   FileOutcome& outcome);
  // The output made as a copy of the source changed in place; nullopt when that could not be
  // done (the system would not copy, or the layouts parted) and the file, empty again, is to be
  // written the ordinary way.
  std::optional<ConversionStatus> ConvertInPlace(const FileFormat& format, ByteReader& in,
                                                 PendingOutput& pending,
                                                 std::span<std::uint8_t> write_buffer);
  Folders FoldersOf(const std::filesystem::path& source, const std::filesystem::path& output);
  // The name an existing output is kept under, never one an earlier file of this run's
  // converter gave its own: called only when there is an output to keep.
  std::filesystem::path ClaimBackup(const std::filesystem::path& output);

  const FormatRegistry& formats_;
  const ConversionTables& tables_;
  ConversionObserver& observer_;
  FileSystem& file_system_;
  std::mutex recovered_mutex_;
  std::set<std::filesystem::path> recovered_folders_;
  // The last pair of folders compared: the files of a run come folder by folder, so each pair
  // is looked up once.
  struct FolderPair {
    std::filesystem::path source;
    std::filesystem::path output;
    Folders folders;
  };
  std::mutex folders_mutex_;
  std::optional<FolderPair> last_folders_;
  std::mutex backups_mutex_;
  std::set<std::string> backups_made_;  // by NameKey
  std::mutex buffers_mutex_;
  std::vector<std::unique_ptr<Buffers>> free_buffers_;
};

}  // namespace penmorph
