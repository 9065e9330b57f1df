// No input may make a reader hold memory out of proportion to the input's size. This program
// counts every byte allocated through operator new while a reader runs (it replaces the global
// operator new, which is why it is a program of its own) and checks the peak against a bound on
// inputs built to make a careless reader allocate much: counts that promise many records whose
// held form is much larger than their bytes, and texts that all point into one long string.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "dos_round_trip.h"
#include "jw_test_bytes.h"
#include "reference/jws_file.h"
#include "reference/jww_file.h"
#include "test_support.h"

namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

}  // namespace

void* operator new(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  *static_cast<std::size_t*>(block) = size;
  std::size_t now = live.fetch_add(size) + size;
  std::size_t high = peak.load();
  while (now > high && !peak.compare_exchange_weak(high, now)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void operator delete(void* pointer) noexcept {
  if (pointer == nullptr) {
    return;
  }
  void* block = static_cast<char*>(pointer) - kHeader;
  live.fetch_sub(*static_cast<std::size_t*>(block));
  std::free(block);
}

void operator delete(void* pointer, std::size_t) noexcept {
  operator delete(pointer);
}

namespace penmorph {
using namespace jw;  // the formats under test
namespace {

using testing::ByteBuilder;

// The peak of memory held while `read` runs, beyond what was held before.
template <class Read>
std::size_t PeakWhile(Read read) {
  const std::size_t before = live.load();
  peak.store(before);
  read();
  return peak.load() - before;
}

// The bound every reader keeps: a small multiple of the input, plus the fixed part of a
// workspace (a JWC workspace's tables, a JWW header's layers).
constexpr std::size_t kFactor = 16;
constexpr std::size_t kFixed = 256 * 1024;

void ExpectBounded(std::size_t held, std::size_t input) {
  EXPECT_LE(held, kFactor * input + kFixed) << "an input of " << input << " bytes";
}

// N empty block definitions after an entity list of none: each is ~30 bytes in the file.
void AppendEmptyBlockDefs(ByteBuilder& out, int version, int count) {
  out.u16(0);  // no entities
  out.u16(0xFFFF).i32(count);
  for (int i = 0; i < count; ++i) {
    if (i == 0) {
      out.new_class("CDataList", version);
    } else {
      out.u16(0x8001);
    }
    out.base(version, {}).i32(0).i32(0).i32(i + 1).u8(0).u16(0);
  }
}

std::vector<std::uint8_t> Vector(const std::string& bytes) {
  return {bytes.begin(), bytes.end()};
}

TEST(MemoryBound, ManyEmptyBlockDefinitionsCostLittleEach) {
  for (int version : {351, 700}) {
    ByteBuilder out;
    testing::AppendJwwHeader(out, version);
    AppendEmptyBlockDefs(out, version, 40000);
    if (version >= 700) {
      out.i32(0);
    }
    const auto data = Vector(out.bytes());
    jw::JwwWorkspace workspace;
    workspace.switches.extract_images = false;
    std::size_t held = PeakWhile([&] {
      ByteReader in = ByteReader::FromMemory(data);
      EXPECT_TRUE(testing::IsOk(jw::JwwRead(in, workspace)));
    });
    EXPECT_EQ(workspace.block_defs.size(), 40000u);
    ExpectBounded(held, data.size());
  }
  ByteBuilder symbol;
  testing::AppendJwsHeader(symbol, 351);
  AppendEmptyBlockDefs(symbol, 351, 40000);
  const auto data = Vector(symbol.bytes());
  jw::JwsWorkspace workspace;
  std::size_t held = PeakWhile([&] {
    ByteReader in = ByteReader::FromMemory(data);
    EXPECT_TRUE(testing::IsOk(jw::JwsRead(in, workspace)));
  });
  ExpectBounded(held, data.size());
}

TEST(MemoryBound, ACountTheBytesCannotHoldAllocatesNothing) {
  // A block-definition count of two billion, with no bytes behind it.
  ByteBuilder out;
  testing::AppendJwwHeader(out, 351);
  out.u16(0).u16(0xFFFF).i32(0x7FFFFFFF);
  const auto data = Vector(out.bytes());
  jw::JwwWorkspace workspace;
  std::size_t held = PeakWhile([&] {
    ByteReader in = ByteReader::FromMemory(data);
    EXPECT_FALSE(jw::JwwRead(in, workspace).ok());
  });
  ExpectBounded(held, data.size());
}

// Texts that all point at the start of one long string without a NUL: held one copy each,
// they would take the count times the heap.
template <class File>
File OverlappingTexts(int texts, std::size_t heap) {
  File file;
  file.text_records.assign(static_cast<std::size_t>(texts), testing::TextRecordBytes(0, 0));
  file.texts.assign(static_cast<std::size_t>(texts), "");
  file.heap = std::string(heap, 'x');
  return file;
}

TEST(MemoryBound, TextsOverlappingInTheHeapFailInsteadOfMultiplyingIt) {
  testing::JwkFile symbol = OverlappingTexts<testing::JwkFile>(4000, 100000);
  symbol.heap_size = "100000";
  const auto jwk = Vector(symbol.Bytes());
  JwkWorkspace jwk_workspace;
  Status jwk_read;
  std::size_t held = PeakWhile([&] {
    ByteReader in = ByteReader::FromMemory(jwk);
    jwk_read = JwkRead(in, jwk_workspace);
  });
  ASSERT_FALSE(jwk_read.ok());
  EXPECT_EQ(jwk_read.error().kind, ErrorKind::kMalformed);
  EXPECT_NE(jwk_read.error().message.find("overlap"), std::string::npos)
      << jwk_read.error().message;
  ExpectBounded(held, jwk.size());

  testing::JwcFile drawing = OverlappingTexts<testing::JwcFile>(2000, 60000);
  drawing.heap_start = "6000:0000";
  drawing.heap_end = "6000:EA60";
  drawing.text_records.assign(2000, testing::TextRecordBytes(0, 0x6000));
  const auto jwc = Vector(drawing.Bytes());
  auto jwc_workspace = std::make_unique<JwcWorkspace>();
  Status jwc_read;
  held = PeakWhile([&] {
    ByteReader in = ByteReader::FromMemory(jwc);
    jwc_read = JwcRead(in, *jwc_workspace);
  });
  ASSERT_FALSE(jwc_read.ok());
  EXPECT_NE(jwc_read.error().message.find("overlap"), std::string::npos);
  ExpectBounded(held, jwc.size());
}

TEST(MemoryBound, TextsSharingShortStringsStillRead) {
  // What jw_cad can write: several texts on one string, and one string longer than a text may
  // be written with (that fails only when written).
  testing::JwkFile symbol = OverlappingTexts<testing::JwkFile>(300, 0);
  symbol.heap = std::string(255, 'y') + '\0' + std::string(400, 'z');
  symbol.heap_size = std::to_string(symbol.heap->size());
  symbol.text_records.push_back(testing::TextRecordBytes(256, 0));
  symbol.texts.push_back("");
  JwkWorkspace workspace = testing::Read<JwkWorkspace>(symbol.Bytes());
  ASSERT_EQ(workspace.records.texts.size(), 301u);
  EXPECT_EQ(workspace.records.texts[0].text, std::string(255, 'y'));
  EXPECT_EQ(workspace.records.texts[299].text, std::string(255, 'y'));
  EXPECT_EQ(workspace.records.texts[300].text, std::string(400, 'z'));
  Error failure = testing::WriteFailure(workspace);
  EXPECT_EQ(failure.kind, ErrorKind::kRange);
}

}  // namespace
}  // namespace penmorph
