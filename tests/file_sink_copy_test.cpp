// The output of a large drawing made as the system's copy of its source, read while the copy is
// still being made.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "common/file_sink.h"
#include "common/file_system.h"
#include "test_support.h"

namespace penmorph {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

// Several of the copy's pieces, and not a whole number of them, so that the reader waits at
// piece ends and the last piece is short.
std::string Source() {
  std::string bytes(9 * 1024 * 1024 + 12345, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>((i * 131 + i / 4096) & 0xFF);
  }
  return bytes;
}

// Reads the lent copy to its end through its reader; what was read, or "failed".
std::string ReadAll(FileSink& sink, std::uint64_t size) {
  ByteReader reader = sink.ReadCopy();
  std::string read(static_cast<std::size_t>(size), '\0');
  reader.read_bytes({reinterpret_cast<std::uint8_t*>(read.data()), read.size()});
  return reader.ok() ? read : "failed";
}

TEST(FileSinkCopy, TheCopyIsReadAsItArrivesAndASourceThatEndsEarlyIsDropped) {
  ScratchFolder folder;
  const std::string bytes = Source();
  WriteBytes(folder / "source", bytes);
  std::FILE* source = OpenFile(folder / "source", "rb");
  ASSERT_NE(source, nullptr);

  auto created = FileSink::CreateExclusive(folder / "whole");
  ASSERT_TRUE(testing::IsOk(created));
  FileSink& whole = *created.value();
  if (whole.CopyIn(source, bytes.size()).empty()) {
    std::fclose(source);
    GTEST_SKIP() << "no copies made by the system here";
  }
  EXPECT_TRUE(ReadAll(whole, bytes.size()) == bytes);
  EXPECT_FALSE(whole.CopyFellShort());
  // The output may be shorter than its source: the rest of the copy is cut.
  EXPECT_TRUE(whole.EndCopy(1000).ok());
  EXPECT_TRUE(whole.Close().ok());
  EXPECT_EQ(ReadBytes(folder / "whole"), bytes.substr(0, 1000));

  // Changed in place while it is read and given back behind the reader, as a conversion does,
  // with the pages ahead of the reader made ready meanwhile: every change reaches the file,
  // whichever side faulted its page in.
  auto created_patched = FileSink::CreateExclusive(folder / "patched");
  ASSERT_TRUE(testing::IsOk(created_patched));
  FileSink& patched = *created_patched.value();
  const std::span<std::uint8_t> copy = patched.CopyIn(source, bytes.size());
  ASSERT_FALSE(copy.empty());
  std::string expected = bytes;
  ByteReader reader = patched.ReadCopy();
  for (std::uint64_t at = 0; at + 4096 <= bytes.size(); at += 4096) {
    reader.SeekTo(at);
    const std::uint8_t old_byte = reader.read_u8();
    ASSERT_TRUE(reader.ok()) << at;
    copy[at] = static_cast<std::uint8_t>(old_byte ^ 0x5A);
    expected[at] = static_cast<char>(old_byte ^ 0x5A);
    if (at % (1 << 20) == 0) {
      patched.ReleaseCopy(at);
    }
  }
  EXPECT_TRUE(patched.EndCopy(bytes.size()).ok());
  EXPECT_TRUE(patched.Close().ok());
  EXPECT_TRUE(ReadBytes(folder / "patched") == expected);

  // The source says it is longer than it is (it was cut after it was opened): the read of the
  // missing bytes fails instead of waiting for ever, and the file is emptied for the usual way.
  auto created_cut = FileSink::CreateExclusive(folder / "cut");
  ASSERT_TRUE(testing::IsOk(created_cut));
  FileSink& cut = *created_cut.value();
  ASSERT_FALSE(cut.CopyIn(source, bytes.size() + 100).empty());
  EXPECT_EQ(ReadAll(cut, bytes.size() + 100), "failed");
  EXPECT_TRUE(cut.CopyFellShort());
  EXPECT_TRUE(cut.DropCopy().ok());
  const std::uint8_t usual[] = {'o', 'k'};
  EXPECT_TRUE(cut.Write(usual).ok());
  EXPECT_TRUE(cut.Close().ok());
  EXPECT_EQ(ReadBytes(folder / "cut"), "ok");

  // A file closed while its copy is still being made (its conversion failed early) stops the
  // copy first: the next file opened may take the closed one's descriptor.
  auto created_closed = FileSink::CreateExclusive(folder / "closed");
  ASSERT_TRUE(testing::IsOk(created_closed));
  ASSERT_FALSE(created_closed.value()->CopyIn(source, bytes.size()).empty());
  EXPECT_EQ(created_closed.value()->ReadCopy().read_u8(), static_cast<std::uint8_t>(bytes[0]))
      << "the copy has begun";
  (void)created_closed.value()->Close();
  std::FILE* next = OpenFile(folder / "next", "wb");
  ASSERT_NE(next, nullptr);
  // Time enough for a copy still running to reach the new file.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::fputs("mine", next);
  std::fclose(next);
  created_closed.value().reset();
  const std::string next_bytes = ReadBytes(folder / "next");
  EXPECT_TRUE(next_bytes == "mine") << next_bytes.size() << " bytes in another file";
  std::fclose(source);
}

}  // namespace
}  // namespace penmorph
