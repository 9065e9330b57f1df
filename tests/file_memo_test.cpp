#include "convert/file_memo.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "test_support.h"

namespace penmorph {
namespace {

using testing::CallLog;
using testing::FakeDrawing;
using testing::FakeFormat;
using testing::WriteBytes;

class FileMemoTest : public ::testing::Test {
 protected:
  FileMemoTest() {
    for (const char* name : {"JWW", "JWS", "JWC", "JWK"}) {
      registry_.Add(std::make_unique<FakeFormat>(name, log_));
    }
  }
  std::string Memo(const std::string& name, const std::string& bytes) {
    WriteBytes(folder_ / name, bytes);
    return FileMemo(registry_, folder_ / name).text;
  }

  testing::ScratchFolder folder_;
  CallLog log_;
  FormatRegistry registry_;
};

TEST_F(FileMemoTest, DrawingsShowTheirMemoAndSymbolsOfJwsNone) {
  EXPECT_EQ(Memo("a.jww", FakeDrawing("JWW", "plan")), "plan");
  EXPECT_EQ(Memo("a.JWC", FakeDrawing("JWC", "dos plan")), "dos plan");
  EXPECT_EQ(Memo("a.jwk", FakeDrawing("JWK", "desk")), "desk");
  EXPECT_EQ(Memo("a.jw$", FakeDrawing("JWW", "autosave")), "autosave");
  EXPECT_EQ(Memo("a.jws", FakeDrawing("JWS", "symbol")), "");
  EXPECT_EQ(Memo("a.txt", FakeDrawing("JWW", "text")), "");
}

TEST_F(FileMemoTest, BackupsShowTheMemoOfWhatTheyHold) {
  EXPECT_EQ(Memo("a.bak", FakeDrawing("JWC", "from jwc")), "from jwc");
  EXPECT_EQ(Memo("b.BAK", FakeDrawing("JWW", "from jww")), "from jww");
  EXPECT_EQ(Memo("c.bk1", FakeDrawing("JWW", "numbered")), "numbered");
  EXPECT_EQ(Memo("d.bak", FakeDrawing("JWK", "a symbol")), "");
  EXPECT_EQ(Memo("e.bak", "junk"), "");
}

TEST_F(FileMemoTest, HeaderThatCannotBeReadGivesNoMemo) {
  EXPECT_EQ(Memo("a.jww", "not a drawing"), "");
  EXPECT_EQ(FileMemo(registry_, folder_ / "missing.jww").text, "");
}

TEST_F(FileMemoTest, ControlCharactersGoDoubleByteCharactersStay) {
  EXPECT_EQ(Memo("a.jww", FakeDrawing("JWW", "a\tb\r\n\x81\x09")), "ab\x81\x09");
}

}  // namespace
}  // namespace penmorph
