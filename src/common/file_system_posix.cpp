// The file system on Linux (and every POSIX system): std::filesystem and the C library.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/file_system.h"
#include "common/path_text.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

// "WHAT: REASON" for a failed std::filesystem call, whose codes here are errno's.
Error Failure(std::string what, const std::error_code& ec, bool names_a_file = false) {
  const bool errno_code =
      ec.category() == std::generic_category() || ec.category() == std::system_category();
  return IoError(std::move(what) + ": " + ec.message(),
                 errno_code ? CauseOfErrno(ec.value(), names_a_file) : SystemCause::kOther);
}

}  // namespace

bool RealFileSystem::Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

bool RealFileSystem::IsDirectory(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(fs::symlink_status(path, ec));
}

Status RealFileSystem::Rename(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (ec) {
    return Failure("cannot rename " + PathToUtf8(from) + " to " + PathToUtf8(to), ec, true);
  }
  return Status::Ok();
}

Status RealFileSystem::Remove(const fs::path& path) {
  std::error_code ec;
  if (!fs::remove(path, ec) && ec) {
    return Failure("cannot delete " + PathToUtf8(path), ec);
  }
  return Status::Ok();
}

Result<std::unique_ptr<FileSink>> RealFileSystem::CreateExclusive(const fs::path& path) {
  return FileSink::CreateExclusive(path);
}

Status RealFileSystem::CreateHardLink(const fs::path& existing, const fs::path& link) {
  std::error_code ec;
  fs::create_hard_link(existing, link, ec);
  if (ec) {
    return Failure("cannot link " + PathToUtf8(existing) + " as " + PathToUtf8(link), ec, true);
  }
  return Status::Ok();
}

Result<std::vector<std::string>> RealFileSystem::ListFolder(const fs::path& folder) {
  std::error_code ec;
  std::vector<std::string> names;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(PathToUtf8(it->path().filename()));
  }
  if (ec) {
    return Failure("cannot list " + PathToUtf8(folder), ec);
  }
  return names;
}

Status RealFileSystem::CheckReplaceable(const fs::path& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return Status::Ok();  // nothing to replace, or no file, which the caller tells apart
  }
  // The owner's write bit is what "read-only" means to a file manager; a file of another user
  // is read-only when nobody may write it. Root could write either, so permissions alone would
  // not tell.
  const mode_t writable = status.st_uid == geteuid() ? S_IWUSR : (S_IWUSR | S_IWGRP | S_IWOTH);
  if ((status.st_mode & writable) == 0) {
    return IoError("cannot replace " + PathToUtf8(path) + ": the file is read-only",
                   SystemCause::kReadOnlyFile);
  }
  return Status::Ok();
}

Result<bool> RealFileSystem::RenameIfFree(const fs::path& from, const fs::path& to) {
#ifdef RENAME_NOREPLACE
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  // Taken, or a file system or kernel without the flag: the caller looks and renames.
  if (errno == EEXIST || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
    return false;
  }
  return LastSystemFailure("cannot rename " + PathToUtf8(from) + " to " + PathToUtf8(to), true);
#else
  (void)from;
  (void)to;
  return false;
#endif
}

Result<bool> RealFileSystem::RemoveUnlessInUse(const fs::path& file) {
  const int descriptor = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (descriptor >= 0) {
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      close(descriptor);
      return false;  // its writer holds it
    }
  }
  // Removed while this lock is held (or, for a link at the name, which is never opened, the
  // link itself): a writer that created the file a moment ago waits for the lock, then finds
  // its file has no name left.
  Status removed = Remove(file);
  if (descriptor >= 0) {
    close(descriptor);
  }
  if (!removed.ok()) {
    return removed.error();
  }
  return true;
}

bool RealFileSystem::InUse(const fs::path& file) {
  const int descriptor = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) {
    return false;
  }
  // The writer holds an exclusive lock for as long as it writes.
  const bool held = flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(descriptor);  // releases the lock taken for the test, if any
  return held;
}

namespace {

class PosixFolderLock : public FolderLock {
 public:
  explicit PosixFolderLock(int descriptor) : descriptor_(descriptor) {}
  ~PosixFolderLock() override { close(descriptor_); }

 private:
  int descriptor_;
};

}  // namespace

std::unique_ptr<FolderLock> RealFileSystem::LockFolder(const fs::path& folder) {
  const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) {
    return nullptr;
  }
  while (flock(descriptor, LOCK_EX) != 0) {
    if (errno != EINTR) {
      close(descriptor);
      return nullptr;
    }
  }
  return std::make_unique<PosixFolderLock>(descriptor);
}

std::FILE* OpenFile(const fs::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::size_t ReadAt(std::FILE* file, std::uint64_t offset, std::span<std::uint8_t> into) {
  std::size_t got = 0;
  while (got < into.size()) {
    const ssize_t n =
        pread(fileno(file), into.data() + got, into.size() - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  return got;
}

std::optional<std::uint64_t> OpenFileSize(std::FILE* file) {
  struct stat status {};
  if (fstat(fileno(file), &status) != 0 || status.st_size < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(status.st_size);
}

Result<FileToRead> OpenToRead(const fs::path& path, ReusedBuffer& whole, std::size_t whole_limit,
                              const std::string& what) {
  // O_NONBLOCK: a pipe or a device under the name must not hold the open; for a file it
  // changes nothing.
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) {
    return LastSystemFailure(what);
  }
  struct stat status {};
  if (fstat(descriptor, &status) != 0 || status.st_size < 0) {
    close(descriptor);
    return IoError(what + ": its size is unknown");
  }
  FileToRead opened;
  if (!S_ISREG(status.st_mode)) {
    close(descriptor);
    opened.kind = S_ISDIR(status.st_mode) ? PathKind::kFolder : PathKind::kOther;
    return opened;
  }
  opened.kind = PathKind::kFile;
  opened.size = static_cast<std::uint64_t>(status.st_size);
  if (opened.size <= whole_limit) {
    const auto size = static_cast<std::size_t>(opened.size);
    std::uint8_t* bytes = whole.Reserve(size);
    std::size_t got = 0;
    while (got < size) {
      const ssize_t n = read(descriptor, bytes + got, size - got);
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n <= 0) {
        break;
      }
      got += static_cast<std::size_t>(n);
    }
    if (got == size) {
      close(descriptor);
      return opened;
    }
    // It changed while being read: read it again as a larger file is, which tells how.
    if (lseek(descriptor, 0, SEEK_SET) != 0) {
      close(descriptor);
      return LastSystemFailure(what);
    }
  }
  opened.file = fdopen(descriptor, "rb");
  if (opened.file == nullptr) {
    Error failure = LastSystemFailure(what);
    close(descriptor);
    return failure;
  }
  return opened;
}

std::string LastSystemError() {
  return std::strerror(errno);
}

Error LastSystemFailure(std::string what, bool names_a_file) {
  const int code = errno;
  return IoError(std::move(what) + ": " + std::strerror(code), CauseOfErrno(code, names_a_file));
}

PathKind KindOfPath(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) {
    return PathKind::kMissing;
  }
  if (fs::is_regular_file(status)) {
    return PathKind::kFile;
  }
  return fs::is_directory(status) ? PathKind::kFolder : PathKind::kOther;
}

std::optional<bool> SameFileOrFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  if (ec) {
    return std::nullopt;
  }
  return same;
}

std::string PlatformNameProblem(std::string_view) {
  return {};  // any name without "/" and NUL is a file's own name here
}

unsigned long CurrentProcessId() {
  return static_cast<unsigned long>(getpid());
}

Result<fs::path> TemporaryFolder() {
  std::error_code ec;
  fs::path folder = fs::temp_directory_path(ec);
  if (ec) {
    return Failure("no temporary folder", ec);
  }
  return folder;
}

Status CreatePrivateFolder(const fs::path& folder) {
  std::error_code ec;
  if (!fs::create_directory(folder, ec)) {
    const std::string what = "cannot create the folder " + PathToUtf8(folder);
    return ec ? Failure(what, ec, true)
              : IoError(what + ": the name is taken", SystemCause::kNameTaken);
  }
  fs::permissions(folder, fs::perms::owner_all, ec);
  return Status::Ok();
}

void RemoveTree(const fs::path& folder) {
  std::error_code ec;
  fs::remove_all(folder, ec);
}

bool RealFileSystem::PatchesCopies(const fs::path& folder) {
  // ext2, 3 and 4 share a magic number and none of them shares blocks between files; tmpfs holds
  // every page in memory. Others (btrfs, XFS, network shares) may share the copy's blocks with
  // the source, and a change through memory that then finds the disk full ends the process.
  constexpr decltype(statfs::f_type) kExt = 0xEF53;
  constexpr decltype(statfs::f_type) kTmpfs = 0x01021994;
  struct statfs status {};
  return statfs(folder.c_str(), &status) == 0 && (status.f_type == kExt || status.f_type == kTmpfs);
}

}  // namespace penmorph
