#include "common/file_sink.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <optional>
#include <vector>

#ifndef _WIN32
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "common/file_system.h"
#include "common/path_text.h"

namespace penmorph {

Result<std::unique_ptr<FileSink>> FileSink::CreateExclusive(const std::filesystem::path& path) {
  // "x" makes the open fail when anything, a link included, already has this name.
  errno = 0;
#ifdef _WIN32
  std::FILE* file = OpenFile(path, "wbx");
#else
  // Readable too, so that a copy of the source made in it can be mapped (CopyIn).
  std::FILE* file = OpenFile(path, "wb+x");
#endif
  if (file == nullptr) {
    return LastSystemFailure("cannot create " + PathToUtf8(path), true);
  }
  // Unbuffered: the writers hand over large pieces already, and a second buffer would only copy
  // them once more.
  std::setvbuf(file, nullptr, _IONBF, 0);
#ifndef _WIN32
  // Held while the file is written, so that another run's recovery sees it is not a leftover
  // (on Windows the handle, opened without sharing deletion, does the same from the start).
  // A recovery may have taken the file for a leftover in the moment before the lock: it removes
  // leftovers only under their lock, so once the lock is ours the file still has its name,
  // or has none and another name must be taken. Where there are no locks, none is waited for.
  const int descriptor = fileno(file);
  int locked = 0;
  while ((locked = flock(descriptor, LOCK_EX)) != 0 && errno == EINTR) {
  }
  struct stat status {};
  if (locked == 0 && fstat(descriptor, &status) == 0 && status.st_nlink == 0) {
    std::fclose(file);
    return IoError("cannot create " + PathToUtf8(path) + ": the name was taken back meanwhile",
                   SystemCause::kNameTaken);
  }
#endif
  return std::unique_ptr<FileSink>(new FileSink(file, path));
}

FileSink::FileSink(std::FILE* file, std::filesystem::path path)
    : file_(file), path_(std::move(path)) {}

FileSink::~FileSink() {
  (void)DropCopy();
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

Status FileSink::Write(std::span<const std::uint8_t> bytes) {
  if (file_ == nullptr) {
    return IoError("write to a closed file " + PathToUtf8(path_));
  }
  if (bytes.empty()) {
    return Status::Ok();
  }
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    return LastSystemFailure("cannot write " + PathToUtf8(path_));
  }
  return Status::Ok();
}

#ifdef _WIN32

// Windows copies whole files only; the caller writes the bytes itself.
bool FileSink::CanCopyFromFile() const {
  return false;
}

Status FileSink::CopyFromFile(std::FILE*, std::uint64_t, std::uint64_t) {
  return IoError("cannot copy between files here");
}

class FileSink::BackgroundCopy {};

std::span<std::uint8_t> FileSink::CopyIn(std::FILE*, std::uint64_t) {
  return {};
}

ByteReader FileSink::ReadCopy() {
  return ByteReader::FromMemory({});
}

bool FileSink::CopyFellShort() const {
  return false;
}

std::uint64_t FileSink::StopCopying() {
  return 0;
}

void FileSink::ReleaseCopy(std::uint64_t) {}

Status FileSink::EndCopy(std::uint64_t) {
  return IoError("no copy of the source is lent here");
}

Status FileSink::DropCopy() {
  return Status::Ok();
}

#else

namespace {

// Lets the kernel copy `length` bytes of `from`, from `offset` on, to `to` at its position, page
// by page without a pass through this process. How many it copied: all, or as many as before the
// source ended (errno 0) or the system refused (errno says why).
std::uint64_t CopyInKernel(int from, std::uint64_t offset, int to, std::uint64_t length) {
  auto in_at = static_cast<off_t>(offset);
  std::uint64_t done = 0;
  while (done < length) {
    errno = 0;
    const ssize_t copied = copy_file_range(
        from, &in_at, to, nullptr,
        static_cast<std::size_t>(std::min<std::uint64_t>(length - done, std::uint64_t{1} << 30)),
        0);
    if (copied > 0) {
      done += static_cast<std::uint64_t>(copied);
    } else if (copied == 0 || errno != EINTR) {
      break;
    }
  }
  return done;
}

}  // namespace

bool FileSink::CanCopyFromFile() const {
  return true;
}

Status FileSink::CopyFromFile(std::FILE* source, std::uint64_t offset, std::uint64_t length) {
  if (file_ == nullptr) {
    return IoError("write to a closed file " + PathToUtf8(path_));
  }
  const int from = fileno(source);
  const std::uint64_t copied = CopyInKernel(from, offset, fileno(file_), length);
  auto in_at = static_cast<off_t>(offset + copied);
  length -= copied;
  if (length > 0) {
    if (errno == 0) {
      return IoError("cannot copy into " + PathToUtf8(path_) + ": the source ended early");
    }
    // Where the kernel cannot copy (another file system, an old kernel), the bytes go through
    // a buffer.
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP &&
        errno != EPERM) {
      return LastSystemFailure("cannot write " + PathToUtf8(path_));
    }
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(length, 1 << 20)));
    while (length > 0) {
      const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size()));
      const ssize_t got = pread(from, buffer.data(), want, in_at);
      if (got <= 0) {
        if (got < 0 && errno == EINTR) {
          continue;
        }
        return IoError("cannot copy into " + PathToUtf8(path_) + ": the source cannot be read");
      }
      if (Status written = Write({buffer.data(), static_cast<std::size_t>(got)}); !written.ok()) {
        return written;
      }
      in_at += got;
      length -= static_cast<std::uint64_t>(got);
    }
  }
  return Status::Ok();
}

// The system's copy of a source into the new file, made piece by piece on a thread of its own
// while the conversion reads what is there already: the two processors each do half the work.
class FileSink::BackgroundCopy final : public ByteReader::Arrival {
 public:
  // `map`: the file's mapping, into which the thread also faults the pages just ahead of the
  // reader (see Prepare).
  BackgroundCopy(int from, int to, std::span<std::uint8_t> map)
      : map_(map), thread_([this, from, to] { Copy(from, to); }) {}
  ~BackgroundCopy() override { Stop(); }

  std::uint64_t WaitFor(std::uint64_t end) override {
    std::unique_lock lock(mutex_);
    arrived_more_.wait(lock, [&] { return arrived_ >= end || finished_; });
    fell_short_ = fell_short_ || arrived_ < end;
    return arrived_;
  }

  // Ends the copy after the piece in hand; how many bytes the file holds.
  std::uint64_t Stop() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    reader_moved_.notify_all();
    if (thread_.joinable()) {
      thread_.join();
    }
    return arrived_;
  }

  // The reader has come this far; the pages before it are given back.
  void ReaderAt(std::uint64_t offset) {
    {
      std::lock_guard lock(mutex_);
      reader_at_ = offset;
    }
    reader_moved_.notify_all();
  }

  bool fell_short() const {
    std::lock_guard lock(mutex_);
    return fell_short_;
  }

 private:
  // Pieces large enough that their system calls do not count, small enough that the reader
  // starts soon and never waits long.
  static constexpr std::uint64_t kPiece = 4 << 20;
  // How far ahead of the reader pages are faulted in, and how many at a time.
  static constexpr std::uint64_t kAhead = 8 << 20;
  static constexpr std::uint64_t kPrepareStep = 1 << 20;

  void Copy(int from, int to) {
    std::uint64_t done = 0;
    while (done < map_.size()) {
      {
        std::lock_guard lock(mutex_);
        if (stopping_) {
          break;
        }
      }
      const std::uint64_t piece = std::min<std::uint64_t>(kPiece, map_.size() - done);
      const std::uint64_t copied = CopyInKernel(from, done, to, piece);
      done += copied;
      {
        std::lock_guard lock(mutex_);
        arrived_ = done;
      }
      arrived_more_.notify_all();
      if (copied < piece) {
        break;  // the source ended early or cannot be copied: the reader hears of it
      }
      Prepare();
    }
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    arrived_more_.notify_all();
    // The copy is there; the pages ahead of the reader are still to be made ready.
    for (;;) {
      std::unique_lock lock(mutex_);
      reader_moved_.wait(lock, [&] { return stopping_ || AllPrepared() || prepared_ < Target(); });
      if (stopping_ || AllPrepared()) {
        return;
      }
      lock.unlock();
      Prepare();
    }
  }

  // Faults in, writable, the copied pages up to kAhead past the reader, so that the reader
  // neither stops for a fault on every page it reads nor for one on every page it patches
  // (on ext4 making a page writable costs about as much as the parse of its records). Done
  // here, on the other processor; never further ahead, as every page faulted in counts in the
  // process's memory until the reader gives it back. A kernel that cannot do it (before 5.14)
  // leaves the faults to the reader, as before.
  void Prepare() {
    std::unique_lock lock(mutex_);
    prepared_ = std::max(prepared_, reader_at_ / page_ * page_);
    while (!stopping_ && !AllPrepared() && prepared_ < Target()) {
      const std::uint64_t from = prepared_;
      const std::uint64_t to = std::min(Target(), from + kPrepareStep);
      lock.unlock();
#ifdef MADV_POPULATE_WRITE
      const bool done = madvise(map_.data() + from, static_cast<std::size_t>(to - from),
                                MADV_POPULATE_WRITE) == 0;
#else
      const bool done = false;
#endif
      lock.lock();
      cannot_prepare_ = cannot_prepare_ || !done;
      prepared_ = std::max(prepared_, to);
    }
  }

  // Under the lock: where preparing stops for now, page-aligned. The page holding the last byte
  // copied lies within the file, so it may be faulted in.
  std::uint64_t Target() const {
    return std::min(CopiedPages(), (reader_at_ + kAhead) / page_ * page_);
  }
  std::uint64_t CopiedPages() const {
    return (arrived_ + page_ - 1) / page_ * page_;
  }
  bool AllPrepared() const {
    return cannot_prepare_ || (finished_ && prepared_ >= CopiedPages());
  }

  const std::span<std::uint8_t> map_;  // as long as the source
  mutable std::mutex mutex_;
  std::condition_variable arrived_more_;
  std::condition_variable reader_moved_;
  std::uint64_t arrived_ = 0;
  std::uint64_t reader_at_ = 0;
  std::uint64_t prepared_ = 0;  // the pages before it are faulted in, or passed
  bool cannot_prepare_ = false;
  const std::uint64_t page_ = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  bool finished_ = false;
  bool stopping_ = false;
  bool fell_short_ = false;
  std::thread thread_;  // last, so that it starts with everything above in place
};

std::span<std::uint8_t> FileSink::CopyIn(std::FILE* source, std::uint64_t size) {
  if (file_ == nullptr || !copy_.empty() || size == 0 ||
      size > std::numeric_limits<std::size_t>::max()) {
    return {};
  }
  const int to = fileno(file_);
  // Mapped while the file is still empty, to its coming size: a page is touched only through
  // ReadCopy, after the copy has passed it. So every page touched is there already and touching
  // one never waits for the disk, and nobody else writes this file (it is new and locked): the
  // map cannot lose pages under the reader.
  void* map =
      mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, to, 0);
  if (map == MAP_FAILED) {
    return {};
  }
  try {
    copying_ = std::make_unique<BackgroundCopy>(
        fileno(source), to,
        std::span(static_cast<std::uint8_t*>(map), static_cast<std::size_t>(size)));
  } catch (const std::system_error&) {
    munmap(map, static_cast<std::size_t>(size));  // no thread to be had: written as usual
    return {};
  }
  copy_ = {static_cast<std::uint8_t*>(map), static_cast<std::size_t>(size)};
  released_ = 0;
  return copy_;
}

ByteReader FileSink::ReadCopy() {
  if (!copying_) {
    return ByteReader::FromMemory({});
  }
  return ByteReader::FromArrivingWritableMemory(copy_, *copying_);
}

bool FileSink::CopyFellShort() const {
  return copying_ && copying_->fell_short();
}

std::uint64_t FileSink::StopCopying() {
  const std::uint64_t held = copying_ ? copying_->Stop() : 0;
  copying_.reset();
  return held;
}

void FileSink::ReleaseCopy(std::uint64_t offset) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t end = static_cast<std::size_t>(std::min<std::uint64_t>(offset, copy_.size()));
  const std::size_t until = page > 0 ? end / page * page : 0;
  // Only the process's view of those pages goes; the file keeps them, changes included.
  if (until > released_ &&
      madvise(copy_.data() + released_, until - released_, MADV_DONTNEED) == 0) {
    released_ = until;
  }
  if (copying_) {
    copying_->ReaderAt(end);
  }
}

Status FileSink::EndCopy(std::uint64_t length) {
  if (copy_.empty() || file_ == nullptr) {
    return IoError("no copy of the source is lent for " + PathToUtf8(path_));
  }
  // The reading may end before the copy does (bytes after the end of what is read are cut).
  const std::uint64_t held = StopCopying();
  munmap(copy_.data(), copy_.size());
  copy_ = {};
  if (length > held) {
    return IoError("cannot write " + PathToUtf8(path_) + ": the copy of its source is short");
  }
  if (length != held && ftruncate(fileno(file_), static_cast<off_t>(length)) != 0) {
    return LastSystemFailure("cannot write " + PathToUtf8(path_));
  }
  return Status::Ok();
}

Status FileSink::DropCopy() {
  if (copy_.empty()) {
    return Status::Ok();
  }
  StopCopying();
  munmap(copy_.data(), copy_.size());
  copy_ = {};
  if (file_ == nullptr) {
    return IoError("write to a closed file " + PathToUtf8(path_));
  }
  if (ftruncate(fileno(file_), 0) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
    Error failure = LastSystemFailure("cannot write " + PathToUtf8(path_));
    std::fclose(file_);
    file_ = nullptr;
    return failure;
  }
  return Status::Ok();
}

#endif

Status FileSink::Close() {
  // A copy still being made writes to the file's descriptor, which the next file opened by any
  // thread may take over once it is closed.
  StopCopying();
  if (file_ == nullptr) {
    return Status::Ok();
  }
  errno = 0;
  const std::string what = "cannot write " + PathToUtf8(path_);
  const bool flushed = std::fflush(file_) == 0;
  std::optional<Error> flush_failure;
  if (!flushed) {
    flush_failure = LastSystemFailure(what);
  }
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (flush_failure) {
    return *flush_failure;
  }
  if (!closed) {
    return LastSystemFailure(what);
  }
  return Status::Ok();
}

}  // namespace penmorph
