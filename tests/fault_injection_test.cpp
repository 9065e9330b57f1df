// Faults injected where the converter meets the outside world: a sink that refuses bytes after
// the k-th one under each format's writer, and each file operation of a whole batch failing in
// turn. A write fault is reported as such, and a destination folder is afterwards, file by
// file, exactly as before (that file failed, with a reason) or exactly the new result.

#include <gtest/gtest.h>

#include <set>

#include "cli/reason_text.h"
#include "convert/batch_converter.h"
#include "convert/pending_output.h"
#include "dos_round_trip.h"
#include "fakes.h"
#include "jw_test_bytes.h"
#include "reference/jws_file.h"
#include "test_support.h"

namespace penmorph {
using namespace jw;  // the formats under test
namespace {

namespace fs = std::filesystem;
using testing::FolderSnapshot;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

// Takes `limit` bytes, then fails as a full disk does.
class FailingSink : public ByteSink {
 public:
  explicit FailingSink(std::size_t limit) : limit_(limit) {}
  Status Write(std::span<const std::uint8_t> bytes) override {
    ++calls_;
    std::size_t room = limit_ - bytes_.size();
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.begin() + std::min(room, bytes.size()));
    if (bytes.size() > room) {
      return IoError("injected: no space left after byte " + std::to_string(limit_));
    }
    return Status::Ok();
  }
  std::size_t size() const { return bytes_.size(); }
  int calls() const { return calls_; }

 private:
  std::size_t limit_;
  std::vector<std::uint8_t> bytes_;
  int calls_ = 0;
};

// A file's bytes and a writer that writes what was read from them.
struct WriterCase {
  std::string name;
  std::string bytes;
  std::function<Status(const std::string&, ByteSink&)> read_and_write;
};

template <class Workspace>
Status ReadAndWriteDos(const std::string& bytes, ByteSink& sink) {
  Workspace workspace;
  if (Status read = testing::ReadFrom(bytes, workspace); !read.ok()) {
    return read;
  }
  if constexpr (std::is_same_v<Workspace, JwcWorkspace>) {
    ByteWriter writer(sink);
    return JwcWrite(writer, workspace);
  } else {
    ByteWriter writer(sink);
    return JwkWrite(writer, workspace);
  }
}

Status ReadAndWriteJww(const std::string& bytes, ByteSink& sink) {
  jw::JwwWorkspace workspace;
  if (Status read = testing::ReadJwwBytes(bytes, workspace); !read.ok()) {
    return read;
  }
  ByteWriter out(sink, 4096);  // small pieces: many places for the fault to strike
  Status written = jw::JwwWrite(out, workspace);
  jw::JwwDeleteExtractedImages(workspace);
  return written;
}

Status ReadAndWriteJws(const std::string& bytes, ByteSink& sink) {
  jw::JwsWorkspace workspace;
  std::vector<std::uint8_t> data = testing::AsVector(bytes);
  auto in = ByteReader::FromMemory(data);
  if (Status read = jw::JwsRead(in, workspace); !read.ok()) {
    return read;
  }
  ByteWriter out(sink, 4096);
  return jw::JwsWrite(out, workspace);
}

std::vector<WriterCase> WriterCases() {
  testing::JwcFile drawing;
  drawing.lines = testing::LinesOfEveryPenAndLineType();
  drawing.texts = {"a", "bc"};
  testing::JwkFile symbol;
  symbol.lines = {testing::LineRecordBytes(1, 2)};
  symbol.texts = {"s"};
  std::vector<WriterCase> cases = {
      {"JWW with an image", testing::JwwWithImage(), ReadAndWriteJww},
      {"JWW 351", testing::EmptyJww(351), ReadAndWriteJww},
      {"JWS", testing::JwsWithOneLine(351), ReadAndWriteJws},
      {"JWC", drawing.Bytes(), ReadAndWriteDos<JwcWorkspace>},
      {"JWK", symbol.Bytes(), ReadAndWriteDos<JwkWorkspace>},
  };
  for (const fs::path& sample : testing::SampleFiles(".jww")) {
    cases.push_back({sample.filename().string(), ReadBytes(sample), ReadAndWriteJww});
  }
  return cases;
}

TEST(WriterFaults, EveryFormatReportsASinkThatFailsAfterAnyByte) {
  int faults = 0;
  for (const WriterCase& c : WriterCases()) {
    VectorSink whole;
    ASSERT_TRUE(testing::IsOk(c.read_and_write(c.bytes, whole))) << c.name;
    const std::size_t size = whole.bytes().size();
    // Every byte for small files; for large ones a spread of places, piece edges included.
    const std::size_t step = size < 3000 ? 1 : size / 700 + 1;
    std::set<std::size_t> limits = {0, 1, 4095, 4096, 4097, size - 1};
    for (std::size_t k = 0; k < size; k += step) {
      limits.insert(k);
    }
    for (std::size_t k : limits) {
      if (k >= size) {
        continue;
      }
      FailingSink sink(k);
      Status written = c.read_and_write(c.bytes, sink);
      ++faults;
      ASSERT_FALSE(written.ok()) << c.name << ": a write that failed after byte " << k
                                 << " was reported as a success";
      EXPECT_EQ(written.error().kind, ErrorKind::kIo) << c.name << " at " << k;
      EXPECT_NE(written.error().message.find("injected"), std::string::npos) << c.name;
      EXPECT_LE(sink.size(), k);
    }
    FailingSink enough(size);
    EXPECT_TRUE(testing::IsOk(c.read_and_write(c.bytes, enough))) << c.name;
  }
  EXPECT_GT(faults, 1000);
  std::printf("[ faults   ] %d writer faults injected\n", faults);
}

// A batch of every format into a destination that holds outputs and backups of earlier runs;
// each file operation of the batch is made to fail in turn.
class BatchFaults : public ::testing::TestWithParam<bool> {
 protected:
  BatchFaults() {
    fs::create_directory(source());
    testing::JwcFile drawing;
    drawing.lines = {testing::LineRecordBytes(1, 2)};
    drawing.texts = {"t"};
    testing::JwkFile symbol;
    symbol.texts = {"k"};
    sources_ = {{"a.jww", testing::JwwWithImage()}, {"b.jwc", drawing.Bytes()},
                {"c.jwk", symbol.Bytes()},          {"d.jws", testing::JwsWithOneLine(351)},
                {"e.jww", testing::EmptyJww(600)},  {"broken.jwc", drawing.Bytes().substr(0, 900)}};
    for (const auto& [name, bytes] : sources_) {
      WriteBytes(source() / name, bytes);
    }
    before_ = {{"a.jww", "old a"},         {"a.BAK", "older a"}, {"b.jwc", "old b"},
               {"d.jws", "old d"},         {"d.BAK", "older d"}, {"broken.jwc", "old broken"},
               {"notes.txt", "the user's"}};
  }

  fs::path source() const { return scratch_ / "src"; }

  void Prepare(const fs::path& destination) const {
    fs::remove_all(destination);
    fs::create_directory(destination);
    for (const auto& [name, bytes] : before_) {
      WriteBytes(destination / name, bytes);
    }
  }

  BatchResult Run(FileSystem& files, const fs::path& destination) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : sources_) {
      names.push_back(name);
    }
    BatchConverter converter(formats_, tables_, ui_, files);
    return testing::ConvertAll(converter, source(), destination, names);
  }

  ScratchFolder scratch_;
  FormatRegistry formats_ = MakeStandardFormats();
  ConversionTables tables_;
  testing::FakeUi ui_;
  std::vector<std::pair<std::string, std::string>> sources_;
  FolderSnapshot before_;
};

bool IsTemporary(const std::string& name) {
  return name.rfind(".penmorph-", 0) == 0;
}

TEST_P(BatchFaults, EachFileIsExactlyAsBeforeOrExactlyTheNewResult) {
  const bool hard_links = GetParam();
  // The result without faults.
  const fs::path clean = scratch_ / "clean";
  Prepare(clean);
  RealFileSystem real;
  BatchResult expected = Run(real, clean);
  const FolderSnapshot after = Snapshot(clean);
  ASSERT_EQ(expected.Count(OutcomeKind::kConverted), 5u);
  ASSERT_EQ(expected.Count(OutcomeKind::kFailed), 1u);

  const fs::path destination = scratch_ / "dst";
  int faults = 0;
  for (int fail_at = 1;; ++fail_at) {
    Prepare(destination);
    testing::FaultyFileSystem faulty(fail_at, !hard_links);
    BatchResult result = Run(faulty, destination);
    if (faulty.failed_operation().empty()) {
      EXPECT_EQ(Snapshot(destination), after);
      break;
    }
    ++faults;
    const std::string where =
        "operation " + std::to_string(fail_at) + " (" + faulty.failed_operation() + ") failed";
    FolderSnapshot now = Snapshot(destination);
    std::erase_if(now, [](const auto& entry) { return IsTemporary(entry.first); });
    // Which file the fault struck: the one whose outcome changed.
    std::size_t changed = 0;
    for (std::size_t i = 0; i < result.outcomes.size(); ++i) {
      const FileOutcome& outcome = result.outcomes[i];
      const std::string name = outcome.output.filename().string();
      const std::string backup = BackupPath(outcome.output).filename().string();
      const FolderSnapshot& wanted = outcome.kind == OutcomeKind::kConverted ? after : before_;
      for (const std::string& file : {name, backup}) {
        EXPECT_EQ(now.count(file) ? now[file] : "<none>",
                  wanted.count(file) ? wanted.at(file) : "<none>")
            << where << ": " << file << " " << EnglishReason(outcome.why);
      }
      if (outcome.kind != expected.outcomes[i].kind) {
        ++changed;
        EXPECT_FALSE(EnglishReason(outcome.why).empty()) << where;
      }
    }
    EXPECT_LE(changed, 1u) << where;
    EXPECT_EQ(now["notes.txt"], "the user's") << where;
    // Temporary files stay only where removing them was the operation that failed; the next
    // run removes them.
    bool leftovers = Snapshot(destination).size() != now.size();
    EXPECT_TRUE(!leftovers || faulty.failed_operation() == "remove") << where;
    if (leftovers) {
      RecoverInterruptedOutputs(real, destination, BackupPath);
      FolderSnapshot recovered = Snapshot(destination);
      EXPECT_EQ(recovered, now) << where;
    }
  }
  // Per file: create, new into place where the name is free; with an output to keep, that
  // attempt, link (and without hard links the copy's create and rename), new into place, kept
  // to backup; the failing file's new output is created and removed again. Windows cannot
  // rename a file while it is held: there the attempt always falls back on the plain rename.
#ifdef _WIN32
  EXPECT_EQ(faults, hard_links ? 23 : 29);
#else
  EXPECT_EQ(faults, hard_links ? 21 : 27);
#endif
  std::printf("[ faults   ] %d file-operation faults injected (hard links %s)\n", faults,
              hard_links ? "on" : "off");
}

INSTANTIATE_TEST_SUITE_P(HardLinks, BatchFaults, ::testing::Bool());

}  // namespace
}  // namespace penmorph
