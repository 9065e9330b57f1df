// The file system on Windows: the W functions, with names in the form SystemPath gives.

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// windows.h makes CreateHardLink a macro, which would rename the method below.
#undef CreateHardLink

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwchar>

#include "common/file_system.h"
#include "common/path_text.h"
#include "common/windows_names.h"
#include "common/windows_paths.h"
#include "common/windows_text.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

// What GetLastError says, in words a user can act on; the rest by the system's own text.
std::string DescribeSystemError(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "no such file or folder";
    case ERROR_ACCESS_DENIED:
      return "access denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "the file is in use by another program";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "the name is taken";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "the disk is full";
    case ERROR_WRITE_PROTECT:
      return "the disk is write-protected";
    case ERROR_NOT_SAME_DEVICE:
      return "not on the same drive";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return "not a valid name";
    case ERROR_FILENAME_EXCED_RANGE:
      return "the name is too long";
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
      return "not supported by this file system";
    case ERROR_BAD_NETPATH:
    case ERROR_NETNAME_DELETED:
    case ERROR_BAD_NET_NAME:
      return "the network path cannot be reached";
    case ERROR_DIR_NOT_EMPTY:
      return "the folder is not empty";
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message;
  if (length > 0 && text != nullptr) {
    message = WideToUtf8(std::wstring_view(text, length));
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
      message.pop_back();
    }
  }
  LocalFree(text);
  if (message.empty()) {
    message = "Windows error " + std::to_string(code);
  }
  return message;
}

SystemCause CauseOfSystemError(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return SystemCause::kNotFound;
    case ERROR_ACCESS_DENIED:
      return SystemCause::kNoAccess;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return SystemCause::kInUse;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return SystemCause::kNameTaken;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return SystemCause::kDiskFull;
    case ERROR_WRITE_PROTECT:
      return SystemCause::kReadOnly;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return SystemCause::kNameNotAllowed;
    default:
      return SystemCause::kOther;
  }
}

// "WHAT: REASON" for a code of GetLastError.
Error Failure(std::string what, DWORD code) {
  return IoError(std::move(what) + ": " + DescribeSystemError(code), CauseOfSystemError(code));
}

DWORD Attributes(const fs::path& path) {
  return GetFileAttributesW(SystemPath(path).c_str());
}

// An existing file's handle for reading its identity; no data access, so that no sharing mode
// of another program stands in the way.
HANDLE OpenForIdentity(const fs::path& path) {
  return CreateFileW(SystemPath(path).c_str(), 0,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Why the system refused to replace `target`: a plain "access denied" also stands for a file
// that another program holds open and for a read-only one, which the user must be told apart.
Error ReplaceFailure(std::string what, DWORD code, const fs::path& target) {
  if (code == ERROR_ACCESS_DENIED) {
    const DWORD attributes = Attributes(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      return IoError(std::move(what) + ": the file is read-only", SystemCause::kReadOnlyFile);
    }
    HANDLE probe = CreateFileW(SystemPath(target).c_str(), DELETE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
      const DWORD probe_code = GetLastError();
      if (probe_code == ERROR_SHARING_VIOLATION || probe_code == ERROR_LOCK_VIOLATION) {
        return Failure(std::move(what), probe_code);
      }
    } else {
      CloseHandle(probe);
    }
  }
  return Failure(std::move(what), code);
}

struct FolderSearch {
  HANDLE handle = INVALID_HANDLE_VALUE;
  ~FolderSearch() {
    if (handle != INVALID_HANDLE_VALUE) {
      FindClose(handle);
    }
  }
};

// Calls `each(name, data)` for every entry of `folder` but "." and "..".
template <class Each>
DWORD ForEachEntry(const fs::path& folder, Each each) {
  std::wstring pattern = SystemPath(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') {
    pattern += L'\\';
  }
  pattern += L'*';
  WIN32_FIND_DATAW data;
  FolderSearch search;
  search.handle = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search.handle == INVALID_HANDLE_VALUE) {
    return GetLastError();
  }
  do {
    const std::wstring_view name(data.cFileName);
    if (name != L"." && name != L"..") {
      each(name, data);
    }
  } while (FindNextFileW(search.handle, &data));
  const DWORD code = GetLastError();
  return code == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : code;
}

}  // namespace

bool RealFileSystem::Exists(const fs::path& path) {
  return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool RealFileSystem::IsDirectory(const fs::path& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Status RealFileSystem::Rename(const fs::path& from, const fs::path& to) {
  // One step that replaces `to`, flushed before it returns, as rename(2) on Linux.
  if (!MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD code = GetLastError();
    return ReplaceFailure("cannot rename " + PathToUtf8(from) + " to " + PathToUtf8(to), code, to);
  }
  return Status::Ok();
}

Status RealFileSystem::Remove(const fs::path& path) {
  const std::wstring name = SystemPath(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
      return Status::Ok();  // nothing to remove, as std::filesystem::remove has it
    }
    return Failure("cannot delete " + PathToUtf8(path), code);
  }
  const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RemoveDirectoryW(name.c_str())
                                                                    : DeleteFileW(name.c_str());
  if (!removed) {
    return Failure("cannot delete " + PathToUtf8(path), GetLastError());
  }
  return Status::Ok();
}

Result<std::unique_ptr<FileSink>> RealFileSystem::CreateExclusive(const fs::path& path) {
  return FileSink::CreateExclusive(path);
}

Status RealFileSystem::CreateHardLink(const fs::path& existing, const fs::path& link) {
  if (!::CreateHardLinkW(SystemPath(link).c_str(), SystemPath(existing).c_str(), nullptr)) {
    return Failure("cannot link " + PathToUtf8(existing) + " as " + PathToUtf8(link),
                   GetLastError());
  }
  return Status::Ok();
}

Result<std::vector<std::string>> RealFileSystem::ListFolder(const fs::path& folder) {
  std::vector<std::string> names;
  const DWORD code = ForEachEntry(folder, [&](std::wstring_view name, const WIN32_FIND_DATAW&) {
    names.push_back(WideToUtf8(name));
  });
  if (code != ERROR_SUCCESS) {
    return Failure("cannot list " + PathToUtf8(folder), code);
  }
  return names;
}

Status RealFileSystem::CheckReplaceable(const fs::path& path) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Status::Ok();  // nothing to replace, or a folder, which the caller tells apart
  }
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return IoError("cannot replace " + PathToUtf8(path) + ": the file is read-only",
                   SystemCause::kReadOnlyFile);
  }
  // Replacing needs the right to delete; a program that holds the file open without sharing
  // that right keeps it.
  HANDLE probe = CreateFileW(SystemPath(path).c_str(), DELETE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
      return Failure("cannot replace " + PathToUtf8(path), code);
    }
    return Status::Ok();  // anything else shows when the file is replaced
  }
  CloseHandle(probe);
  return Status::Ok();
}

bool RealFileSystem::InUse(const fs::path& file) {
  // A file being written is open without FILE_SHARE_DELETE: nobody else may take it away.
  HANDLE probe = CreateFileW(SystemPath(file).c_str(), DELETE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_SHARING_VIOLATION;
  }
  CloseHandle(probe);
  return false;
}

Result<bool> RealFileSystem::RenameIfFree(const fs::path&, const fs::path&) {
  // A file being written is held without sharing deletion, which keeps the system from
  // renaming it as well: the caller closes it first and renames under the folder's lock.
  return false;
}

Result<bool> RealFileSystem::RemoveUnlessInUse(const fs::path& file) {
  // A writer holds its file from the moment it creates it, so a file found unheld stays so.
  return FileSystem::RemoveUnlessInUse(file);
}

namespace {

class WindowsFolderLock : public FolderLock {
 public:
  explicit WindowsFolderLock(HANDLE mutex) : mutex_(mutex) {}
  ~WindowsFolderLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }

 private:
  HANDLE mutex_;
};

}  // namespace

std::unique_ptr<FolderLock> RealFileSystem::LockFolder(const fs::path& folder) {
  // Folders cannot be locked themselves: a mutex named after the folder's identity (volume
  // serial and file index) stands for it among the user's processes.
  HANDLE handle = OpenForIdentity(folder);
  if (handle == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  BY_HANDLE_FILE_INFORMATION information;
  const bool known = GetFileInformationByHandle(handle, &information);
  CloseHandle(handle);
  if (!known) {
    return nullptr;
  }
  wchar_t name[96];
  swprintf(name, 96, L"Local\\penmorph-folder-%08lx-%08lx%08lx", information.dwVolumeSerialNumber,
           information.nFileIndexHigh, information.nFileIndexLow);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
  if (mutex == nullptr) {
    return nullptr;
  }
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::make_unique<WindowsFolderLock>(mutex);
}

std::FILE* OpenFile(const fs::path& path, const char* mode) {
  const std::string_view how(mode);
  const bool write = how.find('w') != std::string_view::npos;
  const bool exclusive = how.find('x') != std::string_view::npos;
  if (!write && how.find('r') == std::string_view::npos) {
    errno = EINVAL;
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Readers let others read, write and rename the file meanwhile (jw_cad keeps its drawing
  // open); a file being written may be read by others but not replaced or removed under us.
  const DWORD access = write ? GENERIC_WRITE : GENERIC_READ;
  const DWORD sharing =
      write ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const DWORD disposition = !write ? OPEN_EXISTING : exclusive ? CREATE_NEW : CREATE_ALWAYS;
  HANDLE handle = CreateFileW(SystemPath(path).c_str(), access, sharing, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = GetLastError() == ERROR_FILE_NOT_FOUND ? ENOENT : EACCES;
    return nullptr;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                         (write ? _O_WRONLY : _O_RDONLY) | _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(descriptor, write ? "wb" : "rb");
  if (file == nullptr) {
    _close(descriptor);
  }
  return file;
}

std::size_t ReadAt(std::FILE* file, std::uint64_t offset, std::span<std::uint8_t> into) {
  const __int64 was = _ftelli64(file);
  if (was < 0 || _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) != 0) {
    return 0;
  }
  const std::size_t got = std::fread(into.data(), 1, into.size(), file);
  _fseeki64(file, was, SEEK_SET);
  return got;
}

std::optional<std::uint64_t> OpenFileSize(std::FILE* file) {
  const __int64 size = _filelengthi64(_fileno(file));
  if (size < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(size);
}

Result<FileToRead> OpenToRead(const fs::path& path, ReusedBuffer& whole, std::size_t whole_limit,
                              const std::string& what) {
  SetLastError(ERROR_SUCCESS);
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) {
    return LastSystemFailure(what);
  }
  FileToRead opened;
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    std::fclose(file);
    opened.kind = PathKind::kOther;
    return opened;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle, &size) || size.QuadPart < 0) {
    std::fclose(file);
    return IoError(what + ": its size is unknown");
  }
  opened.kind = PathKind::kFile;
  opened.size = static_cast<std::uint64_t>(size.QuadPart);
  if (opened.size <= whole_limit) {
    const auto length = static_cast<std::size_t>(opened.size);
    std::uint8_t* bytes = whole.Reserve(length);
    std::size_t got = 0;
    while (got < length) {
      DWORD n = 0;
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length - got, 1u << 30));
      if (!ReadFile(handle, bytes + got, want, &n, nullptr) || n == 0) {
        break;
      }
      got += n;
    }
    if (got == length) {
      std::fclose(file);
      return opened;
    }
    // It changed while being read: read it again as a larger file is, which tells how.
    if (_fseeki64(file, 0, SEEK_SET) != 0) {
      std::fclose(file);
      return IoError(what + ": cannot read the file");
    }
  }
  opened.file = file;
  return opened;
}

std::string LastSystemError() {
  const DWORD code = GetLastError();
  if (code == ERROR_SUCCESS) {
    return std::strerror(errno);
  }
  return DescribeSystemError(code);
}

Error LastSystemFailure(std::string what, bool names_a_file) {
  const DWORD code = GetLastError();
  if (code == ERROR_SUCCESS) {
    const int number = errno;
    return IoError(std::move(what) + ": " + std::strerror(number),
                   CauseOfErrno(number, names_a_file));
  }
  return Failure(std::move(what), code);
}

PathKind KindOfPath(const fs::path& path) {
  DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return PathKind::kMissing;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    // A link or junction: what it leads to counts.
    HANDLE handle = OpenForIdentity(path);
    if (handle == INVALID_HANDLE_VALUE) {
      return PathKind::kMissing;
    }
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(handle, &information);
    CloseHandle(handle);
    if (!known) {
      return PathKind::kMissing;
    }
    attributes = information.dwFileAttributes;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return PathKind::kFolder;
  }
  return (attributes & FILE_ATTRIBUTE_DEVICE) != 0 ? PathKind::kOther : PathKind::kFile;
}

std::optional<bool> SameFileOrFolder(const fs::path& a, const fs::path& b) {
  struct Identity {
    DWORD volume = 0;
    DWORD index_high = 0;
    DWORD index_low = 0;
    bool operator==(const Identity&) const = default;
  };
  auto identify = [](const fs::path& path) -> std::optional<Identity> {
    HANDLE handle = OpenForIdentity(path);
    if (handle == INVALID_HANDLE_VALUE) {
      return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(handle, &information);
    CloseHandle(handle);
    if (!known) {
      return std::nullopt;
    }
    return Identity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                    information.nFileIndexLow};
  };
  const std::optional<Identity> first = identify(a);
  const std::optional<Identity> second = identify(b);
  if (!first || !second) {
    return std::nullopt;
  }
  return *first == *second;
}

std::string PlatformNameProblem(std::string_view file_name) {
  return WindowsNameProblem(file_name);
}

unsigned long CurrentProcessId() {
  return GetCurrentProcessId();
}

Result<fs::path> TemporaryFolder() {
  wchar_t buffer[MAX_PATH + 2];
  const DWORD length = GetTempPathW(MAX_PATH + 2, buffer);
  if (length == 0 || length > MAX_PATH + 1) {
    return Failure("no temporary folder", GetLastError());
  }
  return fs::path(std::wstring(buffer, length));
}

Status CreatePrivateFolder(const fs::path& folder) {
  // The user's temporary folder is the user's own already; a new folder inherits that.
  if (!CreateDirectoryW(SystemPath(folder).c_str(), nullptr)) {
    return Failure("cannot create the folder " + PathToUtf8(folder), GetLastError());
  }
  return Status::Ok();
}

void RemoveTree(const fs::path& folder) {
  (void)ForEachEntry(folder, [&](std::wstring_view name, const WIN32_FIND_DATAW& data) {
    const fs::path entry = folder / fs::path(std::wstring(name));
    const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool is_link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (is_folder && !is_link) {
      RemoveTree(entry);
    } else if (is_folder) {
      RemoveDirectoryW(SystemPath(entry).c_str());  // the link itself, not what it leads to
    } else {
      SetFileAttributesW(SystemPath(entry).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(SystemPath(entry).c_str());
    }
  });
  RemoveDirectoryW(SystemPath(folder).c_str());
}

}  // namespace penmorph
