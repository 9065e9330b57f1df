// What must hold on Windows beyond the shared tests: UTF-16 names, long paths, files held open
// by other programs, read-only files, names that differ only in case, the system's device names,
// drive roots and network shares, the console, and Ctrl+C.

#include <windows.h>
// windows.h makes CreateHardLink a macro, which would rename the file system's method.
#undef CreateHardLink

#include <gtest/gtest.h>

#include <cstdlib>

#include "child_process.h"
#include "cli/reason_text.h"
#include "cli/windows_console.h"
#include "common/byte_reader.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "common/windows_paths.h"
#include "common/windows_text.h"
#include "convert/batch_converter.h"
#include "dos_test_files.h"
#include "fakes.h"
#include "jw_test_bytes.h"
#include "reference/jww_file.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::FakeUi;
using testing::FolderSnapshot;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

// Writes and reads through the program's own calls, which take names of any length.
void WriteLong(const fs::path& file, const std::string& bytes) {
  std::FILE* out = OpenFile(file, "wb");
  ASSERT_NE(out, nullptr) << PathToUtf8(file);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
  std::fclose(out);
}

std::string ReadLong(const fs::path& file) {
  auto in = ByteReader::OpenFile(file);
  if (!in.ok()) {
    return "<" + in.error().message + ">";
  }
  return in->read_string(in->size());
}

bool MakeFolder(const fs::path& folder) {
  return CreateDirectoryW(SystemPath(folder).c_str(), nullptr) != 0;
}

// A program holding a file open as an editor does: nobody else may write, rename or delete it.
class HeldOpen {
 public:
  explicit HeldOpen(const fs::path& file, DWORD sharing = FILE_SHARE_READ)
      : handle_(CreateFileW(SystemPath(file).c_str(), GENERIC_READ | GENERIC_WRITE, sharing,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldOpen() {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
    }
  }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class WindowsDriver : public ::testing::Test {
 protected:
  WindowsDriver() : formats_(MakeStandardFormats()) {}

  FileOutcome Convert(const fs::path& source, const fs::path& output) {
    BatchConverter converter(formats_, tables_, ui_, files_);
    return converter.ConvertFile(source, output);
  }

  // Leftovers of the program's own temporary names.
  static int Temporaries(const fs::path& folder) {
    int count = 0;
    for (const auto& [name, bytes] : Snapshot(folder)) {
      count += name.starts_with(kTemporaryPrefix) ? 1 : 0;
    }
    return count;
  }

  ScratchFolder scratch_;
  FormatRegistry formats_;
  ConversionTables tables_;
  FakeUi ui_;
  RealFileSystem files_;
};

TEST_F(WindowsDriver, JapaneseFolderAndFileNames) {
  const fs::path source = scratch_ / fs::path(u8"平面図");
  const fs::path destination = scratch_ / fs::path(u8"変換後 図面");
  fs::create_directory(source);
  fs::create_directory(destination);
  const std::string drawing = testing::EmptyJww(600);
  WriteBytes(source / fs::path(u8"敷地図.jww"), drawing);
  FileOutcome outcome =
      Convert(source / fs::path(u8"敷地図.jww"), destination / fs::path(u8"敷地図.jww"));
  EXPECT_EQ(outcome.kind, OutcomeKind::kConverted) << EnglishReason(outcome.why);
  EXPECT_EQ(ReadBytes(destination / fs::path(u8"敷地図.jww")), drawing);
  // The names reach messages as UTF-8.
  EXPECT_EQ(outcome.source.filename(), fs::path(u8"敷地図.jww"));
  EXPECT_NE(PathToUtf8(outcome.output).find("変換後 図面\\敷地図.jww"), std::string::npos);
}

TEST_F(WindowsDriver, PathsLongerThan260Characters) {
  fs::path deep = scratch_.path();
  while (deep.native().size() < 300) {
    deep /= L"長いフォルダの名前-long-folder-name";
    ASSERT_TRUE(MakeFolder(deep)) << PathToUtf8(deep);
  }
  const fs::path source = deep / L"source";
  const fs::path destination = deep / L"destination";
  ASSERT_TRUE(MakeFolder(source));
  ASSERT_TRUE(MakeFolder(destination));
  testing::JwcFile plan;
  plan.lines = testing::LinesOfEveryPenAndLineType();
  WriteLong(source / L"plan.jwc", plan.Bytes());
  WriteLong(destination / L"plan.jwc", "old");
  ASSERT_GT((destination / L"plan.jwc").native().size(), 300u);
  tables_.jwc.SetEntry(1, 2);  // pen 1 becomes pen 2: the output differs from its source

  FileOutcome outcome = Convert(source / L"plan.jwc", destination / L"plan.jwc");
  EXPECT_EQ(outcome.kind, OutcomeKind::kConverted) << EnglishReason(outcome.why);
  const std::string converted = ReadLong(destination / L"plan.jwc");
  EXPECT_EQ(converted.substr(0, 19), "jw_cad(c)data......");
  EXPECT_NE(converted, plan.Bytes());
  EXPECT_EQ(ReadLong(destination / L"plan.BAK"), "old");
  auto listed = files_.ListFolder(destination);
  ASSERT_TRUE(listed.ok());
  EXPECT_EQ(listed->size(), 2u);
  RemoveTree(scratch_ / L"長いフォルダの名前-long-folder-name");
  EXPECT_EQ(KindOfPath(deep), PathKind::kMissing);
}

TEST_F(WindowsDriver, AnOutputHeldOpenByAnotherProgramFailsThatFileAndChangesNothing) {
  fs::create_directory(scratch_ / "src");
  fs::create_directory(scratch_ / "dst");
  WriteBytes(scratch_ / "src" / "a.jww", testing::EmptyJww(600));
  WriteBytes(scratch_ / "src" / "b.jww", testing::EmptyJww(420));
  WriteBytes(scratch_ / "dst" / "a.jww", "open in jw_cad");
  WriteBytes(scratch_ / "dst" / "a.BAK", "older");
  const FolderSnapshot before = Snapshot(scratch_ / "dst");
  {
    HeldOpen editor(scratch_ / "dst" / "a.jww");
    ASSERT_TRUE(editor.ok());
    FileOutcome held = Convert(scratch_ / "src" / "a.jww", scratch_ / "dst" / "a.jww");
    EXPECT_EQ(held.kind, OutcomeKind::kFailed);
    EXPECT_NE(EnglishReason(held.why).find("in use by another program"), std::string::npos)
        << EnglishReason(held.why);
    ASSERT_TRUE(held.why.error.has_value());
    EXPECT_EQ(held.why.error->cause, SystemCause::kInUse);
    // The batch goes on with the next file.
    EXPECT_EQ(Convert(scratch_ / "src" / "b.jww", scratch_ / "dst" / "b.jww").kind,
              OutcomeKind::kConverted);
  }
  FolderSnapshot after = Snapshot(scratch_ / "dst");
  after.erase("b.jww");
  EXPECT_EQ(after, before);
}

TEST_F(WindowsDriver, ASourceHeldOpenWithoutSharingFailsWithTheReason) {
  WriteBytes(scratch_ / "a.jww", testing::EmptyJww(600));
  fs::create_directory(scratch_ / "dst");
  HeldOpen editor(scratch_ / "a.jww", 0);
  ASSERT_TRUE(editor.ok());
  FileOutcome outcome = Convert(scratch_ / "a.jww", scratch_ / "dst" / "a.jww");
  EXPECT_EQ(outcome.kind, OutcomeKind::kFailed);
  EXPECT_EQ(EnglishReason(outcome.why),
            "cannot open the file: the file is in use by another program");
  ASSERT_TRUE(outcome.why.error.has_value());
  EXPECT_EQ(outcome.why.error->cause, SystemCause::kInUse);
  EXPECT_TRUE(Snapshot(scratch_ / "dst").empty());
}

TEST_F(WindowsDriver, ASourceOpenInAnEditorThatSharesReadingIsConverted) {
  const std::string drawing = testing::EmptyJww(600);
  WriteBytes(scratch_ / "a.jww", drawing);
  fs::create_directory(scratch_ / "dst");
  HeldOpen editor(scratch_ / "a.jww", FILE_SHARE_READ);
  ASSERT_TRUE(editor.ok());
  FileOutcome outcome = Convert(scratch_ / "a.jww", scratch_ / "dst" / "a.jww");
  EXPECT_EQ(outcome.kind, OutcomeKind::kConverted) << EnglishReason(outcome.why);
  EXPECT_EQ(ReadBytes(scratch_ / "dst" / "a.jww"), drawing);
}

TEST_F(WindowsDriver, ReadOnlyOutputsAndBackupsAreRefusedAndLeftAlone) {
  fs::create_directory(scratch_ / "dst");
  WriteBytes(scratch_ / "a.jww", testing::EmptyJww(600));
  for (const char* read_only : {"a.jww", "a.BAK"}) {
    WriteBytes(scratch_ / "dst" / "a.jww", "old");
    WriteBytes(scratch_ / "dst" / "a.BAK", "older");
    const fs::path locked = scratch_ / "dst" / read_only;
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    const FolderSnapshot before = Snapshot(scratch_ / "dst");
    FileOutcome outcome = Convert(scratch_ / "a.jww", scratch_ / "dst" / "a.jww");
    EXPECT_EQ(outcome.kind, OutcomeKind::kFailed) << read_only;
    EXPECT_NE(EnglishReason(outcome.why).find("read-only"), std::string::npos)
        << EnglishReason(outcome.why);
    ASSERT_TRUE(outcome.why.error.has_value()) << read_only;
    EXPECT_EQ(outcome.why.error->cause, SystemCause::kReadOnlyFile) << read_only;
    EXPECT_EQ(Snapshot(scratch_ / "dst"), before) << read_only;
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(WindowsDriver, NamesThatDifferOnlyInCaseAreOneFile) {
  fs::create_directory(scratch_ / "dst");
  const std::string drawing = testing::EmptyJww(600);
  WriteBytes(scratch_ / "a.jww", drawing);
  WriteBytes(scratch_ / "dst" / "A.JWW", "old");
  FileOutcome outcome = Convert(scratch_ / "a.jww", scratch_ / "dst" / "a.jww");
  ASSERT_EQ(outcome.kind, OutcomeKind::kConverted) << EnglishReason(outcome.why);
  FolderSnapshot after = Snapshot(scratch_ / "dst");
  ASSERT_EQ(after.size(), 2u);  // the drawing and its backup, nothing else
  EXPECT_EQ(ReadBytes(scratch_ / "dst" / "A.jww"), drawing);
  EXPECT_EQ(ReadBytes(scratch_ / "dst" / "a.bak"), "old");
}

TEST_F(WindowsDriver, TheSameFolderIsFoundByIdentityWhateverTheSpelling) {
  const fs::path folder = scratch_ / "Drawings";
  fs::create_directory(folder);
  fs::create_directory(scratch_ / "Other");
  wchar_t short_name[MAX_PATH];
  const DWORD short_length = GetShortPathNameW(folder.c_str(), short_name, MAX_PATH);
  std::vector<fs::path> spellings = {scratch_ / "DRAWINGS/", scratch_ / "x" / ".." / "drawings",
                                     PathFromUtf8(PathToUtf8(folder) + "\\")};
  if (short_length > 0 && short_length < MAX_PATH) {
    spellings.emplace_back(std::wstring(short_name, short_length));
  }
  for (const fs::path& spelling : spellings) {
    EXPECT_TRUE(SameFolder(folder, spelling)) << PathToUtf8(spelling);
  }
  EXPECT_FALSE(SameFolder(folder, scratch_ / "Other"));
  // A file converted into a spelling of its own folder is refused.
  WriteBytes(folder / "a.jww", testing::EmptyJww(600));
  FileOutcome outcome = Convert(folder / "a.jww", scratch_ / "DRAWINGS" / "a.jww");
  EXPECT_EQ(outcome.kind, OutcomeKind::kFailed);
  EXPECT_EQ(outcome.why.kind, ReasonKind::kSameFolder);
}

TEST_F(WindowsDriver, DeviceNamesAndNamesEndingInADotOrSpaceAreNeverOpened) {
  fs::create_directory(scratch_ / "dst");
  for (const char* name : {"CON.jww", "con.jww", "NUL.jwc", "aux", "COM1.jwk", "lpt9.jws",
                           "CONOUT$.jww", "a.jww.", "a.jww ", "nul .jww"}) {
    FileOutcome outcome =
        Convert(scratch_ / PathFromUtf8(name), scratch_ / "dst" / PathFromUtf8(name));
    EXPECT_EQ(outcome.kind, OutcomeKind::kFailed) << name;
    EXPECT_NE(EnglishReason(outcome.why).find("Windows"), std::string::npos)
        << EnglishReason(outcome.why);
  }
  // An ordinary name that only starts like a device is a file like any other.
  WriteBytes(scratch_ / "console.jww", testing::EmptyJww(600));
  EXPECT_EQ(Convert(scratch_ / "console.jww", scratch_ / "dst" / "console.jww").kind,
            OutcomeKind::kConverted);
}

// The system's temporary folder moved to `folder` while it lives.
class TemporaryFolderAt {
 public:
  explicit TemporaryFolderAt(const fs::path& folder) {
    wchar_t old[32768];
    const DWORD length = GetEnvironmentVariableW(L"TMP", old, 32768);
    if (length > 0 && length < 32768) {
      old_.assign(old, length);
    }
    SetEnvironmentVariableW(L"TMP", folder.c_str());
  }
  ~TemporaryFolderAt() { SetEnvironmentVariableW(L"TMP", old_.empty() ? nullptr : old_.c_str()); }

 private:
  std::wstring old_;
};

TEST_F(WindowsDriver, ImagesGoThroughTheConversionAndIntoAFolderOfTheProcessWhenKept) {
  ScratchFolder temporary;
  TemporaryFolderAt moved(temporary.path());
  auto temp = TemporaryFolder();
  ASSERT_TRUE(temp.ok());
  EXPECT_TRUE(SameFileOrFolder(temp.value(), temporary.path()).value_or(false));
  fs::create_directory(scratch_ / "dst");
  WriteBytes(scratch_ / "image.jww", testing::JwwWithImage());
  // The conversion copies the image's bytes from the source: nothing goes to the temporary
  // folder.
  FileOutcome outcome = Convert(scratch_ / "image.jww", scratch_ / "dst" / "image.jww");
  EXPECT_EQ(outcome.kind, OutcomeKind::kConverted) << EnglishReason(outcome.why);
  EXPECT_EQ(ReadBytes(scratch_ / "dst" / "image.jww"), testing::JwwWithImage());
  EXPECT_TRUE(Snapshot(temporary.path()).empty());
  // A workspace that keeps the images has a folder of this process there, gone with it.
  {
    jw::JwwWorkspace workspace;
    ASSERT_TRUE(testing::IsOk(jw::JwwRead(scratch_ / "image.jww", workspace)));
    const FolderSnapshot made = Snapshot(temporary.path());
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made.begin()->first.rfind(
                  "penmorph-images-" + std::to_string(GetCurrentProcessId()) + "-", 0),
              0u)
        << made.begin()->first;
    jw::JwwDeleteExtractedImages(workspace);
  }
  EXPECT_TRUE(Snapshot(temporary.path()).empty());
}

// Drive roots and network shares: scripts/test-windows.sh maps a drive letter and a share of
// Wine's to scratch folders and names them here; without it these tests are skipped.
TEST_F(WindowsDriver, ADriveRootAndANetworkShareServeAsSourceAndDestination) {
  const char* drive = std::getenv("PENMORPH_TEST_DRIVE");  // "P:\"
  const char* share = std::getenv("PENMORPH_TEST_SHARE");  // "\\localhost\penmorph\"
  if (drive == nullptr || share == nullptr) {
    GTEST_SKIP() << "no drive and share mapped (scripts/test-windows.sh maps them)";
  }
  const fs::path root = PathFromUtf8(drive);
  const fs::path shared = PathFromUtf8(share);
  const fs::path share_folder = shared / fs::path(u8"図面");
  fs::create_directory(share_folder);
  const std::string drawing = testing::EmptyJww(600);
  WriteBytes(share_folder / "a.jww", drawing);
  // From a folder of the share into the root of the drive...
  FileOutcome to_root = Convert(share_folder / "a.jww", root / "a.jww");
  EXPECT_EQ(to_root.kind, OutcomeKind::kConverted) << EnglishReason(to_root.why);
  EXPECT_EQ(ReadBytes(root / "a.jww"), drawing);
  // ... and from the root of the drive into the share.
  FileOutcome to_share = Convert(root / "a.jww", share_folder / "b.jww");
  EXPECT_EQ(to_share.kind, OutcomeKind::kConverted) << EnglishReason(to_share.why);
  EXPECT_EQ(ReadBytes(share_folder / "b.jww"), drawing);
  // A spelling of the share's folder is still the same folder.
  EXPECT_TRUE(SameFolder(share_folder, PathFromUtf8(std::string(share) + "図面\\")));
  EXPECT_FALSE(SameFolder(share_folder, root));
  RealFileSystem files;
  (void)files.Remove(root / "a.jww");
  RemoveTree(share_folder);
}

// The command line itself.
class WindowsCli : public ::testing::Test {
 protected:
  ScratchFolder scratch_;
};

TEST_F(WindowsCli, TakesJapaneseArgumentsAndPrintsUtf8IntoAFile) {
  const fs::path source = scratch_ / fs::path(u8"平面図");
  fs::create_directory(source);
  fs::create_directory(scratch_ / fs::path(u8"出力"));
  testing::JwcFile drawing;
  drawing.memo_a = "\x90\x7D\x96\xCA";  // "図面" in Shift-JIS
  WriteBytes(source / fs::path(u8"敷地図.jwc"), drawing.Bytes());
  const fs::path report = scratch_ / "report.txt";
  EXPECT_EQ(testing::RunProgram(
                {PENMORPH_CLI_PATH, "convert", "--dest", PathToUtf8(scratch_ / fs::path(u8"出力")),
                 PathToUtf8(source / fs::path(u8"敷地図.jwc"))},
                report),
            0);
  EXPECT_EQ(ReadBytes(report),
            "converted " + PathToUtf8(source / fs::path(u8"敷地図.jwc")) + " -> " +
                PathToUtf8(scratch_ / fs::path(u8"出力") / fs::path(u8"敷地図.jwc")) +
                "\n1 converted, 0 skipped, 0 failed\n");
  EXPECT_EQ(ReadBytes(scratch_ / fs::path(u8"出力") / fs::path(u8"敷地図.jwc")), drawing.Bytes());

  EXPECT_EQ(testing::RunProgram(
                {PENMORPH_CLI_PATH, "info", PathToUtf8(source / fs::path(u8"敷地図.jwc"))}, report),
            0);
  EXPECT_NE(ReadBytes(report).find("  memo: 図面"), std::string::npos) << ReadBytes(report);
}

// The console gets UTF-16, so that Japanese shows whatever its code page; the text is read
// back from the console's own screen.
TEST(WindowsConsole, JapaneseReachesTheConsoleAsCharacters) {
  // A console of the test's own (Wine makes one only on a display: test-windows.sh has Xvfb).
  FreeConsole();
  AllocConsole();
  HANDLE screen =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD mode = 0;
  if (screen == INVALID_HANDLE_VALUE || !GetConsoleMode(screen, &mode)) {
    GTEST_SKIP() << "no console here: Wine makes one only on a display";
  }
  CONSOLE_SCREEN_BUFFER_INFO before;
  ASSERT_TRUE(GetConsoleScreenBufferInfo(screen, &before));
  SetConsoleOutputCP(437);  // a code page without Japanese: the text must not go through it
  {
    ConsoleBuffer buffer(screen);
    std::ostream out(&buffer);
    // Written in pieces that split characters, as a stream may hand them over.
    const std::string text = "memo: 敷地図 (ｱ)";
    out << text.substr(0, 8);
    out.flush();
    out << text.substr(8);
    out.flush();
  }
  wchar_t shown[32] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadConsoleOutputCharacterW(screen, shown, 13, before.dwCursorPosition, &read));
  EXPECT_EQ(std::wstring(shown, read), L"memo: 敷地図 (ｱ)");
  CloseHandle(screen);
}

}  // namespace
}  // namespace penmorph
