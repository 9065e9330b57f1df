#include "settings/ini_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

TEST(IniDocumentGet, MatchesNamesWithoutCaseAndTrimsValues) {
  auto doc = IniDocument::Parse("[jwc]\n  c1 =  5  \n[Other]\nC1=9\n");
  EXPECT_EQ(doc.Get("JWC", "C1"), "5");
  EXPECT_EQ(doc.Get("Jwc", "c1"), "5");
  EXPECT_EQ(doc.Get("other", "c1"), "9");
  EXPECT_EQ(doc.Get("JWC", "C2"), std::nullopt);
  EXPECT_EQ(doc.Get("JWW", "C1"), std::nullopt);
}

TEST(IniDocumentGet, FirstSectionAndFirstKeyWin) {
  auto doc = IniDocument::Parse("[A]\nk=1\nk=2\n[B]\nk=3\n[a]\nk=4\nj=5\n");
  EXPECT_EQ(doc.Get("A", "k"), "1");
  // A key only in the second [A] is not seen: the first section of a name is the section.
  EXPECT_EQ(doc.Get("A", "j"), std::nullopt);
}

TEST(IniDocumentGet, IgnoresJunkCommentsAndKeysBeforeAnySection) {
  auto doc = IniDocument::Parse(
      "k=0\n; comment\n[S]\njunk line\n=novalue\n;k=1\n[broken\nk=2\n\x01\xFF\xFE=\x80\n");
  EXPECT_EQ(doc.Get("S", "k"), "2");
  EXPECT_EQ(doc.Get("broken", "k"), std::nullopt);
}

TEST(IniDocumentGet, TakesOffOnePairOfOuterQuotes) {
  auto doc = IniDocument::Parse("[S]\na=\"  x  \"\nb=\"\"y\"\"\nc=\"\nd=\n");
  EXPECT_EQ(doc.Get("S", "a"), "  x  ");
  EXPECT_EQ(doc.Get("S", "b"), "\"y\"");
  EXPECT_EQ(doc.Get("S", "c"), "\"");
  EXPECT_EQ(doc.Get("S", "d"), "");
}

TEST(IniDocumentParse, SerializesAnyBytesBackUnchanged) {
  std::mt19937 random(1234);
  const std::string alphabet = "[]=;\"\r\n \tabcK\x01\x80\xFF";
  for (int round = 0; round < 500; ++round) {
    std::string text;
    int length = static_cast<int>(random() % 200);
    for (int i = 0; i < length; ++i) {
      text += alphabet[random() % alphabet.size()];
    }
    ASSERT_EQ(IniDocument::Parse(text).Serialize(), text) << round;
  }
}

TEST(IniDocumentSet, ChangesOnlyTheValueOfAnExistingKey) {
  const std::string before =
      "; settings\r\n[Form]\r\nF1_X = 10\r\njunk\r\n[JWC]\r\nc1=1\r\nC1=7\r\n\r\n[x]\r\n";
  auto doc = IniDocument::Parse(before);
  ASSERT_TRUE(doc.Set("jwc", "C1", "3"));
  EXPECT_EQ(doc.Serialize(),
            "; settings\r\n[Form]\r\nF1_X = 10\r\njunk\r\n[JWC]\r\nc1=3\r\nC1=7\r\n\r\n[x]\r\n");
}

TEST(IniDocumentSet, AddsKeysAfterTheSectionsLastKeyAndNewSectionsAtTheEnd) {
  auto doc = IniDocument::Parse("[A]\nk=1\n\n[B]\nm=2");
  ASSERT_TRUE(doc.Set("A", "n", "x"));
  ASSERT_TRUE(doc.Set("B", "o", "y"));
  ASSERT_TRUE(doc.Set("C", "p", "z"));
  EXPECT_EQ(doc.Serialize(), "[A]\nk=1\nn=x\n\n[B]\nm=2\no=y\n\n[C]\np=z\n");
  EXPECT_EQ(doc.Get("B", "o"), "y");
}

TEST(IniDocumentSet, NewLinesFollowTheFilesLineEndings) {
  auto doc = IniDocument::Parse("[A]\r\nk=1\r\n");
  ASSERT_TRUE(doc.Set("A", "j", "2"));
  ASSERT_TRUE(doc.Set("B", "k", "3"));
  EXPECT_EQ(doc.Serialize(), "[A]\r\nk=1\r\nj=2\r\n\r\n[B]\r\nk=3\r\n");
  IniDocument empty;
  ASSERT_TRUE(empty.Set("S", "k", "v"));
  EXPECT_EQ(empty.Serialize(), "[S]\nk=v\n");
}

// A file cut between the CR and the LF of its last line: the CR ends that line, so its value
// reads the same before and after keys are added behind it.
TEST(IniDocumentSet, ALastLineCutAfterItsCarriageReturnKeepsItsValue) {
  auto doc = IniDocument::Parse("[A]\nk=1\r");
  EXPECT_EQ(doc.Serialize(), "[A]\nk=1\r");
  EXPECT_EQ(doc.Get("A", "k"), "1");
  ASSERT_TRUE(doc.Set("A", "n", "2"));
  ASSERT_TRUE(doc.Set("B", "m", "3"));
  EXPECT_EQ(doc.Serialize(), "[A]\nk=1\r\nn=2\n\n[B]\nm=3\n");
  const IniDocument again = IniDocument::Parse(doc.Serialize());
  EXPECT_EQ(again.Get("A", "k"), "1");
  EXPECT_EQ(again.Get("A", "n"), "2");
  auto alone = IniDocument::Parse("[A]\r");  // no line with a whole end to copy
  ASSERT_TRUE(alone.Set("A", "k", "v"));
  EXPECT_EQ(alone.Serialize(), "[A]\r\nk=v\n");
}

TEST(IniDocumentSet, EveryValueReadsBackAsWritten) {
  IniDocument doc;
  for (std::string value :
       {"", " lead", "trail ", "\"quoted\"", "\"", "a=b", "[x]", ";c", "\xE3\x81\x82 \t", "\t"}) {
    ASSERT_TRUE(doc.Set("S", "k", value));
    EXPECT_EQ(IniDocument::Parse(doc.Serialize()).Get("S", "k"), value) << value;
  }
}

TEST(IniDocumentSet, RefusesWhatOneLineCannotHold) {
  auto doc = IniDocument::Parse("[S]\nk=old\n");
  EXPECT_FALSE(doc.Set("S", "k", "two\nlines"));
  EXPECT_FALSE(doc.Set("S", "k", std::string("nul\0", 4)));
  EXPECT_FALSE(doc.Set("S", "k=", "v"));
  EXPECT_FALSE(doc.Set("S]", "k", "v"));
  EXPECT_FALSE(doc.Set("", "k", "v"));
  EXPECT_FALSE(doc.Set("S", "", "v"));
  EXPECT_EQ(doc.Serialize(), "[S]\nk=old\n");
}

TEST(IniDocumentEntries, KeepFileOrderAndAreReplacedInTheOrderGiven) {
  auto doc = IniDocument::Parse("[R]\r\nb=1\r\n; note\r\nA = \" 2 \"\r\nb=3\r\n[S]\r\nx=y\r\n");
  using Entries = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(doc.Entries("r"), (Entries{{"b", "1"}, {"A", " 2 "}, {"b", "3"}}));
  EXPECT_EQ(doc.Entries("none"), Entries{});

  // Old keys go, the note stays; a key the format cannot hold is left out and said so.
  EXPECT_FALSE(doc.SetEntries("R", {{"z", "1"}, {"k=v", "2"}, {"a", " 3"}, {"[x]", "4"}}));
  EXPECT_EQ(doc.Serialize(), "[R]\r\nz=1\r\na=\" 3\"\r\n; note\r\n[S]\r\nx=y\r\n");
  EXPECT_EQ(doc.Entries("R"), (Entries{{"z", "1"}, {"a", " 3"}}));

  // A missing section is added only when there is something to hold.
  EXPECT_TRUE(doc.SetEntries("T", {}));
  EXPECT_EQ(doc.Entries("T"), Entries{});
  EXPECT_EQ(doc.Serialize().find("[T]"), std::string::npos);
  EXPECT_TRUE(doc.SetEntries("T", {{"k", "v"}}));
  EXPECT_EQ(doc.Serialize().substr(doc.Serialize().find("[S]")),
            "[S]\r\nx=y\r\n\r\n[T]\r\nk=v\r\n");
}

TEST(IniDocumentFile, MissingFileIsEmptyAndSaveCreatesIt) {
  ScratchFolder folder;
  auto doc = IniDocument::Load(folder / "none.ini");
  ASSERT_TRUE(doc.ok());
  EXPECT_EQ(doc->Serialize(), "");
  ASSERT_TRUE(doc->Set("S", "k", "v"));
  ASSERT_TRUE(doc->Save(folder / "none.ini").ok());
  EXPECT_EQ(ReadBytes(folder / "none.ini"), "[S]\nk=v\n");
}

TEST(IniDocumentFile, SaveReplacesWholeAndLeavesNoTemporaryFile) {
  ScratchFolder folder;
  const std::string junk =
      std::string("[Mine]\nx=1\n\x00\xFF binary\n", 21) + std::string(100000, 'z') + "\n[S]\nk=1\n";
  WriteBytes(folder / "a.ini", junk);
  auto doc = IniDocument::Load(folder / "a.ini");
  ASSERT_TRUE(doc.ok());
  ASSERT_TRUE(doc->Set("S", "k", "2"));
  ASSERT_TRUE(doc->Save(folder / "a.ini").ok());
  std::string expected = junk;
  expected.replace(expected.size() - 2, 1, "2");
  EXPECT_EQ(ReadBytes(folder / "a.ini"), expected);
  EXPECT_EQ(testing::Snapshot(folder.path()).size(), 1u);
}

TEST(IniDocumentFile, FailedSaveLeavesTheOldFile) {
  ScratchFolder folder;
  WriteBytes(folder / "blocker", "a file where a folder should be");
  IniDocument doc;
  ASSERT_TRUE(doc.Set("S", "k", "v"));
  EXPECT_FALSE(doc.Save(folder / "blocker" / "x.ini").ok());
  EXPECT_EQ(ReadBytes(folder / "blocker"), "a file where a folder should be");
}

TEST(IniDocumentFile, SaveThroughALinkWritesTheLinkedFile) {
  PENMORPH_SKIP_WITHOUT_SYMLINKS();
  ScratchFolder folder;
  fs::create_directory(folder / "real");
  WriteBytes(folder / "real" / "p.ini", "[S]\nk=1\n");
  fs::create_symlink("real/p.ini", folder / "p.ini");
  auto doc = IniDocument::Load(folder / "p.ini");
  ASSERT_TRUE(doc.ok());
  ASSERT_TRUE(doc->Set("S", "k", "2"));
  ASSERT_TRUE(doc->Save(folder / "p.ini").ok());
  EXPECT_TRUE(fs::is_symlink(folder / "p.ini"));
  EXPECT_EQ(ReadBytes(folder / "real" / "p.ini"), "[S]\nk=2\n");
}

}  // namespace
}  // namespace penmorph
