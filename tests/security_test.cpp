// Input handled safely: temporary files are created exclusively, never through a link planted
// at their name; an output or backup name that is a link is replaced, never written through;
// and names found inside a drawing never reach the file system.

#include <gtest/gtest.h>

#include <random>

#include "cli/reason_text.h"
#include "common/file_sink.h"
#include "convert/batch_converter.h"
#include "dos_test_files.h"
#include "fakes.h"
#include "formats/standard_formats.h"
#include "jw_test_bytes.h"
#include "settings/ini_document.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::FolderSnapshot;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

TEST(Security, ExclusiveCreationRefusesAnyLinkPlantedAtTheName) {
  PENMORPH_SKIP_WITHOUT_SYMLINKS();
  ScratchFolder folder;
  WriteBytes(folder / "victim", "must stay");
  fs::create_symlink(folder / "victim", folder / "to-victim");
  fs::create_symlink(folder / "nowhere", folder / "dangling");
  for (const char* name : {"to-victim", "dangling"}) {
    auto sink = FileSink::CreateExclusive(folder / name);
    EXPECT_FALSE(sink.ok()) << name;
  }
  EXPECT_EQ(ReadBytes(folder / "victim"), "must stay");
  EXPECT_FALSE(fs::exists(folder / "nowhere"));
}

TEST(Security, ASettingsSaveRemovesALinkPlantedAsALeftoverButNotWhatItNames) {
  PENMORPH_SKIP_WITHOUT_SYMLINKS();
  ScratchFolder folder;
  ScratchFolder elsewhere;
  WriteBytes(elsewhere / "victim", "must stay");
  fs::create_symlink(elsewhere / "victim", folder / ".penmorph-ini-0123456789abcdef.tmp");
  IniDocument document;
  ASSERT_TRUE(document.Set("S", "k", "v"));
  ASSERT_TRUE(testing::IsOk(document.Save(folder / "p.ini")));
  EXPECT_EQ(ReadBytes(elsewhere / "victim"), "must stay");
  EXPECT_EQ(Snapshot(folder.path()), (FolderSnapshot{{"p.ini", "[S]\nk=v\n"}}));
}

class SecurityDriver : public ::testing::Test {
 protected:
  SecurityDriver() {
    fs::create_directory(source());
    fs::create_directory(destination());
  }
  fs::path source() const { return scratch_ / "src"; }
  fs::path destination() const { return scratch_ / "dst"; }
  FileOutcome Convert(const std::string& name) {
    BatchConverter converter(formats_, tables_, ui_, files_);
    return converter.ConvertFile(source() / name, destination() / name);
  }

  ScratchFolder scratch_;
  ScratchFolder elsewhere_;
  FormatRegistry formats_ = MakeStandardFormats();
  ConversionTables tables_;
  testing::FakeUi ui_;
  RealFileSystem files_;
};

TEST_F(SecurityDriver, LinksAtTheOutputAndBackupNamesAreReplacedNotFollowed) {
  PENMORPH_SKIP_WITHOUT_SYMLINKS();
  WriteBytes(source() / "a.jww", testing::EmptyJww(600));
  WriteBytes(elsewhere_ / "output victim", "must stay");
  WriteBytes(elsewhere_ / "backup victim", "must stay too");
  fs::create_symlink(elsewhere_ / "output victim", destination() / "a.jww");
  fs::create_symlink(elsewhere_ / "backup victim", destination() / "a.BAK");
  FileOutcome outcome = Convert("a.jww");
  ASSERT_EQ(outcome.kind, OutcomeKind::kConverted) << EnglishReason(outcome.why);
  EXPECT_EQ(ReadBytes(elsewhere_ / "output victim"), "must stay");
  EXPECT_EQ(ReadBytes(elsewhere_ / "backup victim"), "must stay too");
  EXPECT_FALSE(fs::is_symlink(destination() / "a.jww"));
  EXPECT_EQ(ReadBytes(destination() / "a.jww").substr(0, 8), "JwwData.");
  // The link that was the output is now the backup; the one that was the backup is gone.
  ASSERT_TRUE(fs::is_symlink(destination() / "a.BAK"));
  EXPECT_EQ(fs::read_symlink(destination() / "a.BAK"), elsewhere_ / "output victim");
  EXPECT_EQ(Snapshot(destination()).size(), 2u);
}

TEST_F(SecurityDriver, NamesInsideADrawingNeverBecomePaths) {
  // Image names and image references that look like paths out of every folder involved.
  std::string marker = "penmorph-escape-" + std::to_string(std::random_device{}());
  const std::vector<std::string> names = {"../" + marker, "../../" + marker,
                                          (fs::temp_directory_path() / marker).string(),
                                          (scratch_ / marker).string()};
  testing::ByteBuilder drawing;
  testing::AppendJwwHeader(drawing, 700);
  drawing.u16(static_cast<int>(names.size()));
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i == 0) {
      drawing.new_class("CDataMoji", 700);
    } else {
      drawing.u16(0x8001);
    }
    drawing.base(700, {}).f64(0).f64(0).f64(1).f64(0).i32(0).f64(1).f64(1).f64(0).f64(0);
    drawing.str("font").str("^@BM%temp%" + names[i] + ",1,1,0,0,1,0");
  }
  drawing.u16(0).i32(static_cast<int>(names.size()));
  for (const std::string& name : names) {
    drawing.str(name).i32(3).raw("BMx");
  }
  WriteBytes(source() / "a.jww", drawing.bytes());
  testing::JwcFile dos;
  dos.texts = {"^@BM%temp%../" + marker + ",1"};
  WriteBytes(source() / "b.jwc", dos.Bytes());

  for (const char* file : {"a.jww", "b.jwc"}) {
    FileOutcome outcome = Convert(file);
    EXPECT_EQ(outcome.kind, OutcomeKind::kConverted) << file << ": " << EnglishReason(outcome.why);
  }
  for (const fs::path& folder :
       {destination(), destination().parent_path(), source(), fs::temp_directory_path(),
        fs::path(scratch_.path().parent_path())}) {
    EXPECT_FALSE(fs::exists(folder / marker)) << folder;
  }
  EXPECT_EQ(Snapshot(destination()).size(), 2u);
  EXPECT_EQ(Snapshot(source()).size(), 2u);
}

}  // namespace
}  // namespace penmorph
