#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "common/patch_sink.h"
#include "test_support.h"

namespace penmorph {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (int v : values) {
    bytes.push_back(static_cast<std::uint8_t>(v));
  }
  return bytes;
}

TEST(ByteReader, ReadsLittleEndianFields) {
  auto data = Bytes({0x01,                                            // u8
                     0x34, 0x12,                                      // u16 0x1234
                     0xFE, 0xFF, 0xFF, 0xFF,                          // i32 -2
                     0x00, 0x00, 0x80, 0x3F,                          // f32 1.0
                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // f64 1.0
                     'a',  'b'});
  auto reader = ByteReader::FromMemory(data);
  EXPECT_EQ(reader.read_u8(), 1);
  EXPECT_EQ(reader.read_u16le(), 0x1234);
  EXPECT_EQ(reader.read_i32le(), -2);
  EXPECT_EQ(reader.read_f32le(), 1.0f);
  EXPECT_EQ(reader.read_f64le(), 1.0);
  EXPECT_EQ(reader.read_string(2), "ab");
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.at_end());
}

TEST(ByteReader, FirstFailureSticksWithItsOffset) {
  auto data = Bytes({1, 2, 3});
  auto reader = ByteReader::FromMemory(data);
  EXPECT_EQ(reader.read_u16le(), 0x0201);
  EXPECT_EQ(reader.read_u32le(), 0u);  // only one byte left
  ASSERT_FALSE(reader.ok());
  EXPECT_EQ(reader.error().kind, ErrorKind::kTruncated);
  EXPECT_EQ(reader.error().offset, 2u);
  // The byte that was left is not handed out after the failure.
  EXPECT_EQ(reader.read_u8(), 0);
  reader.Fail(ErrorKind::kMalformed, "later");
  EXPECT_EQ(reader.error().kind, ErrorKind::kTruncated);
}

TEST(ByteReader, DeclaredSizesAreCheckedBeforeAllocating) {
  auto data = Bytes({1, 2, 3, 4});
  auto reader = ByteReader::FromMemory(data);
  EXPECT_EQ(reader.read_string(1ull << 40), "");
  EXPECT_FALSE(reader.ok());

  auto counted = ByteReader::FromMemory(data);
  EXPECT_TRUE(counted.Expect(2, 2, "records"));
  EXPECT_FALSE(counted.Expect(3, 2, "records"));
  EXPECT_EQ(counted.error().message, "3 records cannot fit in the 4 bytes left");
}

TEST(ByteReader, FileReadsMatchMemoryReadsAcrossBufferBoundaries) {
  testing::ScratchFolder folder;
  std::mt19937 random(5);
  std::string bytes(700 * 1024 + 3, '\0');
  for (char& c : bytes) {
    c = static_cast<char>(random());
  }
  testing::WriteBytes(folder / "f.bin", bytes);
  auto file = ByteReader::OpenFile(folder / "f.bin");
  ASSERT_TRUE(file.ok());
  auto memory =
      ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  std::uint64_t step = 0;
  while (memory.remaining() >= 8) {
    switch (step++ % 5) {
      case 0:
        ASSERT_EQ(file->read_u64le(), memory.read_u64le());
        break;
      case 1:
        ASSERT_EQ(file->read_u16le(), memory.read_u16le());
        break;
      case 2:
        file->skip(3000);
        memory.skip(3000);
        break;
      case 3: {
        std::uint64_t n = std::min<std::uint64_t>(memory.remaining(), 300000);
        ASSERT_EQ(file->read_string(n), memory.read_string(n));
        break;
      }
      default:
        ASSERT_EQ(file->read_u8(), memory.read_u8());
    }
    ASSERT_EQ(file->offset(), memory.offset());
  }
  EXPECT_TRUE(file->ok());
  EXPECT_TRUE(memory.ok());
}

TEST(ByteReader, CopiesInPieces) {
  std::vector<std::uint8_t> data(5000, 7);
  auto reader = ByteReader::FromMemory(data);
  struct CountingSink : ByteSink {
    std::vector<std::size_t> pieces;
    Status Write(std::span<const std::uint8_t> bytes) override {
      pieces.push_back(bytes.size());
      return Status::Ok();
    }
  } sink;
  ASSERT_TRUE(reader.CopyTo(sink, 5000, 2048).ok());
  EXPECT_EQ(sink.pieces, (std::vector<std::size_t>{2048, 2048, 904}));
}

TEST(ByteWriter, WritesWhatTheReaderReads) {
  VectorSink sink;
  ByteWriter writer(sink, 7);  // a tiny buffer, to cross it often
  writer.write_u8(0xAB);
  writer.write_u16le(0x1234);
  writer.write_i32le(-2);
  writer.write_f64le(-0.5);
  writer.write_bytes(std::string_view("a long run of bytes"));
  writer.write_u32le(0xDEADBEEF);
  ASSERT_TRUE(writer.Finish().ok());
  EXPECT_EQ(writer.offset(), sink.bytes().size());
  auto reader = ByteReader::FromMemory(sink.bytes());
  EXPECT_EQ(reader.read_u8(), 0xAB);
  EXPECT_EQ(reader.read_u16le(), 0x1234);
  EXPECT_EQ(reader.read_i32le(), -2);
  EXPECT_EQ(reader.read_f64le(), -0.5);
  EXPECT_EQ(reader.read_string(19), "a long run of bytes");
  EXPECT_EQ(reader.read_u32le(), 0xDEADBEEFu);
  EXPECT_TRUE(reader.at_end());
}

TEST(ByteWriter, ReportsTheFirstFailure) {
  struct FailingSink : ByteSink {
    Status Write(std::span<const std::uint8_t>) override { return IoError("disk full"); }
  } sink;
  ByteWriter writer(sink, 4);
  writer.write_u64le(1);
  writer.write_u64le(2);
  Status status = writer.Finish();
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().message, "disk full");
}

// Bytes that arrive two at a time, up to a point where they stop coming.
class Arriving : public ByteReader::Arrival {
 public:
  explicit Arriving(std::uint64_t stops_at) : stops_at_(stops_at) {}
  std::uint64_t WaitFor(std::uint64_t end) override {
    asked_.push_back(end);
    while (arrived_ < end && arrived_ < stops_at_) {
      arrived_ = std::min(arrived_ + 2, stops_at_);
    }
    return arrived_;
  }
  std::vector<std::uint64_t> asked_;
  std::uint64_t arrived_ = 0;

 private:
  std::uint64_t stops_at_;
};

// A reader of arriving bytes waits for each field, seek and copied stretch, never hands out
// what has not arrived, and fails with the offset where the bytes stopped coming.
TEST(ByteReader, ArrivingBytesAreWaitedForAndNeverReadAhead) {
  auto data = Bytes({1, 0, 0, 0, 2, 3, 4, 5, 6, 7, 8, 9});
  Arriving all(data.size());
  auto reader = ByteReader::FromArrivingMemory(data, all);
  EXPECT_EQ(reader.read_u32le(), 1u);
  EXPECT_EQ(all.arrived_, 4u);
  EXPECT_FALSE(reader.Buffered(0, 6)) << "bytes 4 and 5 have not arrived";
  reader.SeekTo(10);
  EXPECT_EQ(all.arrived_, 10u);
  EXPECT_EQ(reader.read_u16le(), 0x0908);
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.at_end());
  EXPECT_TRUE(reader.Buffered(0, 12));

  Arriving short_copy(6);
  auto cut = ByteReader::FromArrivingMemory(data, short_copy);
  std::vector<std::uint8_t> first(5);
  cut.read_bytes(first);
  EXPECT_EQ(first, Bytes({1, 0, 0, 0, 2}));
  EXPECT_EQ(cut.read_u16le(), 0) << "byte 6 never arrives";
  ASSERT_FALSE(cut.ok());
  EXPECT_EQ(cut.error().kind, ErrorKind::kIo);
  EXPECT_EQ(cut.error().offset, 5u);
  EXPECT_EQ(short_copy.asked_.back(), 7u);

  Arriving none(0);
  auto seeking = ByteReader::FromArrivingMemory(data, none);
  seeking.SeekTo(8);
  EXPECT_FALSE(seeking.ok());
  EXPECT_EQ(seeking.read_u8(), 0);
}

// A copy patched in place takes a written part only over bytes its reader has passed, and a
// kept stretch only where it stands in the source; anything else parts the layouts, and from
// then on nothing is taken.
TEST(PatchSink, ChangesOnlyWhatWasReadAndKeepsOnlyWhatStandsInPlace) {
  std::vector<std::uint8_t> copy = {1, 2, 3, 4, 5, 6, 7, 8};
  auto reader = ByteReader::FromMemory(copy);
  PatchSink sink(copy, reader);
  (void)reader.read_u32le();  // the reader has passed the first four bytes
  const std::uint8_t two[] = {9, 9};
  EXPECT_TRUE(sink.Write(two).ok());
  EXPECT_TRUE(sink.KeepSource(2, 2).ok());
  EXPECT_EQ(sink.length(), 4u);
  EXPECT_FALSE(sink.Write(two).ok()) << "bytes 4 and 5 are not read yet";
  EXPECT_TRUE(sink.diverged());
  EXPECT_EQ(copy, (std::vector<std::uint8_t>{9, 9, 3, 4, 5, 6, 7, 8}));
  (void)reader.read_u32le();
  EXPECT_FALSE(sink.KeepSource(4, 4).ok()) << "nothing is taken once the layouts parted";

  std::vector<std::uint8_t> other = {1, 2, 3, 4};
  auto all_read = ByteReader::FromMemory(other);
  (void)all_read.read_u32le();
  PatchSink shifted(other, all_read);
  EXPECT_FALSE(shifted.KeepSource(1, 2).ok()) << "a stretch that is not where it stands";
  PatchSink longer(other, all_read);
  EXPECT_TRUE(longer.KeepSource(0, 4).ok());
  EXPECT_FALSE(longer.Write(two).ok()) << "an output longer than its source";
  PatchSink beyond(other, all_read);
  EXPECT_FALSE(beyond.KeepSource(2, 3).ok()) << "a stretch past the source's end";
}

}  // namespace
}  // namespace penmorph
