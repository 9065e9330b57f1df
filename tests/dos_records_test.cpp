#include "formats/dos/dos_records.h"

#include <gtest/gtest.h>

#include "common/byte_sink.h"
#include "dos_test_files.h"
#include "formats/dos/dos_header.h"
#include "formats/dos/dos_heap.h"

namespace penmorph::jw {
namespace {

using testing::ArcRecordBytes;
using testing::AsVector;

std::string Written(const ArcRecord& record, Status* status = nullptr) {
  VectorSink sink;
  ByteWriter out(sink);
  Status written = WriteArcRecord(out, record);
  EXPECT_TRUE(out.Finish().ok());
  if (status != nullptr) {
    *status = written;
  }
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

ArcRecord ReadArc(const std::string& bytes) {
  auto data = AsVector(bytes);
  auto in = ByteReader::FromMemory(data);
  ArcRecord record;
  ReadArcRecord(in, record);
  EXPECT_TRUE(in.ok());
  return record;
}

TEST(ArcConversions, EveryU16AtOffset12ComesBack) {
  EXPECT_EQ(ScaledFromFile(65535), 6.5535f);
  EXPECT_EQ(ScaledFromFile(10000), 1.0f);
  for (int value = 0; value <= 65535; ++value) {
    Result<std::uint16_t> back = ScaledToFile(ScaledFromFile(static_cast<std::uint16_t>(value)));
    ASSERT_TRUE(back.ok()) << value;
    ASSERT_EQ(back.value(), value);
  }
  EXPECT_EQ(ScaledToFile(6.5536f).status().error().kind, ErrorKind::kRange);
  EXPECT_FALSE(ScaledToFile(-0.001f).ok());
}

TEST(ArcConversions, FixedPointGoesThroughF32AndBackHalvesToEven) {
  EXPECT_EQ(FixedFromFile(3 * 65536 / 2), 1.5f);
  EXPECT_EQ(FixedFromFile(-65536), -1.0f);
  EXPECT_EQ(FixedToFile(1.5f, 14).value(), 98304);
  EXPECT_EQ(FixedToFile(0.5f / 65536, 14).value(), 0);
  EXPECT_EQ(FixedToFile(1.5f / 65536, 14).value(), 2);
  EXPECT_EQ(FixedToFile(2.5f / 65536, 14).value(), 2);
  EXPECT_EQ(FixedToFile(-1.5f / 65536, 14).value(), -2);
  EXPECT_EQ(FixedToFile(-32768.0f, 14).value(), std::numeric_limits<std::int32_t>::min());
  // 2147483584 and above round to 2^31 as an f32, which no i32 holds.
  Result<std::int32_t> too_large = FixedToFile(FixedFromFile(2147483584), 18);
  ASSERT_FALSE(too_large.ok());
  EXPECT_EQ(too_large.error().kind, ErrorKind::kRange);
  EXPECT_NE(too_large.error().message.find("offset 18"), std::string::npos);
  EXPECT_FALSE(FixedToFile(std::numeric_limits<float>::infinity(), 14).ok());
  EXPECT_FALSE(FixedToFile(std::numeric_limits<float>::quiet_NaN(), 14).ok());
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0.0);
  EXPECT_EQ(RoundHalfEven(1.5), 2.0);
  EXPECT_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
  EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
  EXPECT_EQ(RoundHalfEven(-3.7), -4.0);
}

TEST(ArcRecord, ComesBackByteForByteAboveTheF32Precision) {
  // 0x160DFFF / 65536 is an angle of 352.87498 degrees: 25 significant bits.
  for (std::int32_t value : {0x160DFFF, 0x7FFFFFFF, -0x7FFFFFFF, 16777217, 2147483584}) {
    std::string bytes = ArcRecordBytes(65535, value, -value, 98304, 5, 6);
    ArcRecord record = ReadArc(bytes);
    EXPECT_EQ(record.fixed[2], 1.5f);
    EXPECT_EQ(record.scaled, 6.5535f);
    EXPECT_EQ(record.line_type, 5);
    EXPECT_EQ(record.pen, 6);
    EXPECT_EQ(Written(record), bytes) << value;
  }
}

TEST(ArcRecord, ChangedValuesAreConvertedAndMustFit) {
  ArcRecord record = ReadArc(ArcRecordBytes(0, 0x160DFFF, 0, 0, 1, 1));
  record.fixed[0] = 2.0f;
  EXPECT_EQ(Written(record).substr(14, 4), testing::Le32(131072));
  record.fixed[1] = 32768.0f;  // 2^31 in 16.16
  Status status;
  Written(record, &status);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().kind, ErrorKind::kRange);
  EXPECT_NE(status.error().message.find("offset 18"), std::string::npos) << status.error().message;
}

TEST(HeaderLine0, FieldsComeBackWithTheirNulPadding) {
  std::string line =
      testing::HeaderLine0("jw_cad(c)data.......", std::string("A\0B", 3), "", "ignored tail");
  HeaderLine0 fields = ParseHeaderLine0(line);
  EXPECT_EQ(fields.magic, "jw_cad(c)data.......");
  EXPECT_EQ(fields.memo_a, std::string("A\0B", 3));  // an inner NUL is kept
  EXPECT_EQ(fields.memo_b, "");
  EXPECT_EQ(fields.Memo(), std::string("A\0B ", 4));
  Result<std::string> built = BuildHeaderLine0(fields);
  ASSERT_TRUE(built.ok());
  EXPECT_EQ(built.value(), line.substr(0, 104));

  fields.memo_b = std::string(33, 'x');
  Result<std::string> too_long = BuildHeaderLine0(fields);
  ASSERT_FALSE(too_long.ok());
  EXPECT_EQ(too_long.error().kind, ErrorKind::kRange);
}

TEST(CompleteHeaderLine, PadsTo199AndRefusesWhatWouldBeCut) {
  Result<std::string> short_line = CompleteHeaderLine("1,2", "header line 1");
  ASSERT_TRUE(short_line.ok());
  EXPECT_EQ(short_line.value(), "1,2" + std::string(196, ' ') + "\n");
  Result<std::string> full = CompleteHeaderLine(std::string(199, '7'), "header line 2");
  ASSERT_TRUE(full.ok());
  EXPECT_EQ(full.value(), std::string(199, '7') + "\n");
  Result<std::string> over = CompleteHeaderLine(std::string(200, '7'), "header line 2");
  ASSERT_FALSE(over.ok());
  EXPECT_EQ(over.error().kind, ErrorKind::kRange);
  EXPECT_NE(over.error().message.find("header line 2"), std::string::npos);
}

TEST(ParseHeaderFields, ReadsEachFieldByItsType) {
  HeaderValues values = ParseHeaderFields("3,1.5,6000:0010,junk", "ifai");
  EXPECT_EQ(values, (HeaderValues{std::int32_t{3}, 1.5f, std::int32_t{0x60010}, std::int32_t{0}}));
  EXPECT_EQ(ParseHeaderFields("", "fi"), (HeaderValues{0.0f, std::int32_t{0}}));
}

TEST(OutputText, OnlyTheExactImagePrefixIsShortened) {
  EXPECT_EQ(OutputText("^@BM%temp%"), "^@BM");
  EXPECT_EQ(OutputText("^@BM%temp%photo.bmp"), "^@BMphoto.bmp");
  EXPECT_EQ(OutputText("^@BM%temp"), "^@BM%temp");  // fewer than 10 bytes
  EXPECT_EQ(OutputText("^@bm%temp%x"), "^@bm%temp%x");
  EXPECT_EQ(OutputText("^@BM%TEMP%x"), "^@BM%TEMP%x");
  EXPECT_EQ(OutputText(""), "");
}

}  // namespace
}  // namespace penmorph::jw
