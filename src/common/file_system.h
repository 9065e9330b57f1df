#pragma once

// The file operations that move finished files into place. Behind an interface so that tests can
// make any one of them fail and check that a folder is left as it was. One implementation per
// platform (file_system_posix.cpp, file_system_windows.cpp): on Windows every call takes the wide
// form of the name, and the "\\?\" form when the name is too long for the plain one.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_sink.h"
#include "common/result.h"

namespace penmorph {

// An exclusive hold on a folder, released when it goes.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when anything (a dangling link included) has this name.
  virtual bool Exists(const std::filesystem::path& path) = 0;
  virtual bool IsDirectory(const std::filesystem::path& path) = 0;
  virtual Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // Renames in one step unless something (a dangling link included) has the name `to`: true
  // when renamed, false when the name is taken or the system has no such step (the caller then
  // looks and renames). Works on a file that is still open, so that a file being written keeps
  // its writer's lock until it has its final name.
  virtual Result<bool> RenameIfFree(const std::filesystem::path& /*from*/,
                                    const std::filesystem::path& /*to*/) {
    return false;
  }
  virtual Status Remove(const std::filesystem::path& path) = 0;
  virtual Result<std::unique_ptr<FileSink>> CreateExclusive(const std::filesystem::path& path) = 0;
  // A second name for an existing file (a link at `existing` is linked itself, not followed);
  // fails where the file system has no hard links.
  virtual Status CreateHardLink(const std::filesystem::path& existing,
                                const std::filesystem::path& link) = 0;
  // The names of everything in a folder, hidden ones included, as UTF-8 (PathFromUtf8 turns
  // one back into a path).
  virtual Result<std::vector<std::string>> ListFolder(const std::filesystem::path& folder) = 0;
  // Why an existing file could not be replaced, told before anything is changed: a file its
  // owner marked read-only, on every system (the folder's permissions would let Linux replace
  // it, but the mark says the user wants it kept); on Windows also one that another program
  // holds open (jw_cad keeps its drawing open), which would also keep a second name of it from
  // being removed again. On Linux an open file can always be replaced.
  virtual Status CheckReplaceable(const std::filesystem::path& /*path*/) { return Status::Ok(); }
  // Whether a live process holds the file open to write it: the program's own temporary files
  // are held so (a lock on Linux, the open handle itself on Windows) while they are written,
  // so that a recovery running at the same time leaves them alone.
  virtual bool InUse(const std::filesystem::path& /*file*/) { return false; }
  // Removes one of the program's temporary files unless a live process is writing it (InUse):
  // true when removed, false when in use. On Linux the file is removed under its own lock, so
  // that a writer that has just created it and waits for that lock finds it gone
  // (FileSink::CreateExclusive then fails with kNameTaken and the writer takes another name).
  virtual Result<bool> RemoveUnlessInUse(const std::filesystem::path& file) {
    if (InUse(file)) {
      return false;
    }
    if (Status removed = Remove(file); !removed.ok()) {
      return removed.error();
    }
    return true;
  }
  // Waits for, then holds, the one lock of a folder under which outputs are put into place and
  // leftovers are recovered, so that two runs into one folder never act on each other's files
  // halfway. nullptr where the folder cannot be locked: the caller goes on without.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::filesystem::path& /*folder*/) {
    return nullptr;
  }
  // Whether new files in `folder` may be made as copies of their sources, patched in place
  // through memory (FileSink::CopyIn): only where the system copies a file into pages of the
  // new file's own, so that changing them never needs more room on the disk.
  virtual bool PatchesCopies(const std::filesystem::path& /*folder*/) { return false; }
};

class RealFileSystem : public FileSystem {
 public:
  bool Exists(const std::filesystem::path& path) override;
  bool IsDirectory(const std::filesystem::path& path) override;
  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  Status Remove(const std::filesystem::path& path) override;
  Result<std::unique_ptr<FileSink>> CreateExclusive(const std::filesystem::path& path) override;
  Status CreateHardLink(const std::filesystem::path& existing,
                        const std::filesystem::path& link) override;
  Result<std::vector<std::string>> ListFolder(const std::filesystem::path& folder) override;
  Status CheckReplaceable(const std::filesystem::path& path) override;
  bool InUse(const std::filesystem::path& file) override;
  Result<bool> RenameIfFree(const std::filesystem::path& from,
                            const std::filesystem::path& to) override;
  Result<bool> RemoveUnlessInUse(const std::filesystem::path& file) override;
  std::unique_ptr<FolderLock> LockFolder(const std::filesystem::path& folder) override;
#ifndef _WIN32
  bool PatchesCopies(const std::filesystem::path& folder) override;
#endif
};

// fopen that takes a path on every platform: the modes "rb", "wb" and "wbx" (create, failing
// when anything has the name). On Windows a file opened for reading may still be read, written
// or renamed by others, as a drawing open in jw_cad may.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// Reads up to `into.size()` bytes from `offset` on, leaving the file's position as it was; how
// many were read (fewer at the end of the file or on a failure).
std::size_t ReadAt(std::FILE* file, std::uint64_t offset, std::span<std::uint8_t> into);
// The size of an open file; nullopt when the system cannot tell.
std::optional<std::uint64_t> OpenFileSize(std::FILE* file);

// What a name leads to.
enum class PathKind { kMissing, kFile, kFolder, kOther };

// A buffer that is kept from one file to the next, so that working through many files does not
// ask the system for fresh memory each time. Not zero-filled.
class ReusedBuffer {
 public:
  // Room for `size` bytes; what it held is lost when it has to grow.
  std::uint8_t* Reserve(std::size_t size);
  const std::uint8_t* data() const { return bytes_.get(); }
  std::uint8_t* data() { return bytes_.get(); }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t capacity_ = 0;
};

// A file opened to be read from its start, with what one look at the open file told.
struct FileToRead {
  PathKind kind = PathKind::kMissing;  // kFile, or what else the name led to (nothing open)
  std::uint64_t size = 0;
  // A file of at most `whole_limit` bytes has been read whole into the buffer and closed;
  // a larger one, or one whose size changed while it was read, is left open here.
  std::FILE* file = nullptr;
};

// Opens a file for reading without waiting on a pipe or a device, looks at it once (its kind
// and size) and, when it is a file of at most `whole_limit` bytes, reads it whole in one call.
// Fails as the open failed: LastSystemFailure's words and cause for `what`. On Windows a file
// opened so may still be read, written or renamed by others, as with OpenFile.
Result<FileToRead> OpenToRead(const std::filesystem::path& path, ReusedBuffer& whole,
                              std::size_t whole_limit, const std::string& what);

// The system's reason for the last failed call of this thread (errno, or GetLastError on
// Windows), in English words for the failures a user can do something about.
std::string LastSystemError();

// An IoError "WHAT: REASON" for the last failed call of this thread, REASON as LastSystemError
// words it, with its cause. `names_a_file`: the call gave a file its name (create, rename,
// link), so that an invalid argument can only have been the name.
Error LastSystemFailure(std::string what, bool names_a_file = false);

// The cause a C library error number (errno) stands for.
SystemCause CauseOfErrno(int code, bool names_a_file = false);

// What a path names, links followed; kMissing also when it cannot be examined.
PathKind KindOfPath(const std::filesystem::path& path);

// Whether two paths name one file or folder, by its identity on the file system (device and
// inode; volume serial and file index on Windows), so that differences of spelling, case, links
// and drive letters do not count; nullopt when either cannot be examined.
std::optional<bool> SameFileOrFolder(const std::filesystem::path& a,
                                     const std::filesystem::path& b);

// Why a file may not have this name on this platform, or "" when it may. Windows refuses its
// device names (CON, NUL, COM1...) and names ending in a dot or a space: such a name is never
// opened, since the system would open a device or another file.
std::string PlatformNameProblem(std::string_view file_name);

// This process's number, to tell apart the temporary names of programs running at once.
unsigned long CurrentProcessId();

// The user's folder for temporary files.
Result<std::filesystem::path> TemporaryFolder();
// Creates a folder only this user may enter; fails when anything has the name already, so a
// folder made here belongs to the caller.
Status CreatePrivateFolder(const std::filesystem::path& folder);
// Removes a folder and everything in it; links inside are removed, never followed. Failures
// are ignored: what cannot be removed stays.
void RemoveTree(const std::filesystem::path& folder);

// A name that no file in the folder is likely to have, beginning with the program's marker so
// that leftovers of an interrupted run can be recognised:
// ".penmorph-PURPOSE-XXXXXXXXXXXXXXXX.tmp", or with "-SUBJECT" before ".tmp" when the name of
// the file it stands for has to be found again from it. A subject that would make the name
// longer than a folder entry may be is left out.
std::filesystem::path UniqueTemporaryName(const std::filesystem::path& folder,
                                          std::string_view purpose, std::string_view subject = {});

// When `file_name` is exactly a name UniqueTemporaryName gives for `purpose`: its subject
// ("" for none). nullopt for every other name.
std::optional<std::string> MatchTemporaryName(std::string_view file_name, std::string_view purpose);

// Removes the files of `folder` that UniqueTemporaryName named for `purpose` (those without a
// subject): what an interrupted run of this program left, and no file another process is
// writing. Failures are ignored.
void RemoveLeftoverTemporaries(const std::filesystem::path& folder, std::string_view purpose);

// The prefix every temporary file of this program starts with.
inline constexpr std::string_view kTemporaryPrefix = ".penmorph-";

}  // namespace penmorph
