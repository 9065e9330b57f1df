#pragma once

// Stand-ins for a file format, the user interface and the file system, recording what the
// driver asks of them and failing where a test tells them to.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "convert/batch_converter.h"
#include "convert/file_format.h"
#include "formats/standard_formats.h"

namespace penmorph::testing {

using CallLog = std::vector<std::string>;

// The bytes of a fake drawing of a format: its signature line, then the body.
inline std::string FakeDrawing(const std::string& format, const std::string& body) {
  return "FAKE" + format + "\n" + body;
}

// A format whose files start with "FAKE<name>\n". Its conversion writes "converted(p):" and the
// body, where p is what MapJwcPen gives for pen 1, so tests can see which tables it got. It logs
// "probe NAME", "convert BODY" and "memo NAME". Named as a real format, it has that format's
// family, memo and copies.
class FakeFormat : public FileFormat {
 public:
  FakeFormat(std::string name, CallLog& log)
      : name_(std::move(name)), extension_("." + name_), log_(log) {
    traits_.name = name_;
    traits_.extension = extension_;
    static const FormatRegistry standard = MakeStandardFormats();
    if (const FileFormat* real = standard.FindByExtension(extension_)) {
      traits_.family = real->Traits().family;
      traits_.has_memo = real->Traits().has_memo;
      traits_.copies = real->Traits().copies;
    }
  }

  bool fail_read = false;
  bool throw_in_read = false;
  std::optional<Error> remap_error;
  std::optional<std::size_t> fail_write_after;  // bytes written before the write fails
  bool utf8_memo = false;
  // Called by every conversion before it reads, on the worker's thread: lets a test hold a run.
  std::function<void()> before_convert;

  void ResetBehaviour() {
    fail_read = false;
    throw_in_read = false;
    remap_error.reset();
    fail_write_after.reset();
  }

  const FormatTraits& Traits() const override { return traits_; }

  bool Recognizes(std::span<const std::uint8_t> head) const override {
    Log("probe " + name_);
    const std::string signature = Signature();
    return head.size() >= signature.size() &&
           std::string(head.begin(),
                       head.begin() + static_cast<std::ptrdiff_t>(signature.size())) == signature;
  }

  ConversionStatus Convert(ByteReader& in, const ConversionTables& tables,
                           ByteSink& out) const override {
    if (before_convert) {
      before_convert();
    }
    const std::string body = Body(in);
    Log("convert " + body);
    if (throw_in_read) {
      throw std::runtime_error("reader exploded");
    }
    if (fail_read) {
      return ConversionStatus::Failed(ConversionStage::kRead,
                                      MakeError(ErrorKind::kMalformed, "bad record", 17));
    }
    if (remap_error) {
      return ConversionStatus::Failed(ConversionStage::kRemap, *remap_error);
    }
    const std::string bytes =
        FakeDrawing(name_, "converted(" + std::to_string(MapJwcPen(tables.jwc, 1)) + "):" + body);
    const std::size_t limit = std::min(fail_write_after.value_or(bytes.size()), bytes.size());
    auto data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (Status written = out.Write({data, limit}); !written.ok()) {
      return ConversionStatus::Failed(ConversionStage::kWrite, written.error());
    }
    if (fail_write_after) {
      return ConversionStatus::Failed(ConversionStage::kWrite, IoError("disk full"));
    }
    return ConversionStatus::Ok();
  }

  // The body is the memo; a file without the signature has no readable header.
  std::optional<HeaderMemo> ReadMemo(ByteReader& in) const override {
    Log("memo " + name_);
    const std::string bytes = in.read_string(std::min<std::uint64_t>(in.remaining(), 4096));
    const std::string signature = Signature();
    if (bytes.rfind(signature, 0) != 0) {
      return std::nullopt;
    }
    return HeaderMemo{bytes.substr(signature.size()), utf8_memo};
  }

  Result<FileDescription> Describe(ByteReader& in) const override {
    if (fail_read) {
      return MakeError(ErrorKind::kMalformed, "bad record", 17);
    }
    const std::string body = Body(in);
    FileDescription description;
    description.format = name_;
    description.version = "1";
    description.memo = body;
    description.counts = {{"lines", body.size()}};
    return description;
  }

 private:
  // Files may be converted by several workers at once.
  void Log(std::string call) const {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    log_.push_back(std::move(call));
  }
  std::string Signature() const { return "FAKE" + name_ + "\n"; }
  std::string Body(ByteReader& in) const {
    const std::string bytes = in.read_string(in.remaining());
    return bytes.size() >= Signature().size() ? bytes.substr(Signature().size()) : std::string();
  }

  std::string name_;
  std::string extension_;
  FormatTraits traits_;
  CallLog& log_;
};

// Records every file the driver starts converting: "converting:SOURCE|OUTPUT". Workers of a
// parallel run call it at the same time: read `events` once the run is over.
class FakeUi : public ConversionObserver {
 public:
  std::vector<std::string> events;

  void Converting(const std::filesystem::path& source,
                  const std::filesystem::path& output) override {
    std::string event = "converting:" + source.string() + "|" + output.string();
    std::lock_guard lock(mutex_);
    events.push_back(std::move(event));
  }

 private:
  std::mutex mutex_;
};

// Converts the named files of one folder into another, as a run of the window does.
inline BatchResult ConvertAll(BatchConverter& converter, const std::filesystem::path& source,
                              const std::filesystem::path& destination,
                              const std::vector<std::string>& names) {
  BatchResult result;
  for (const std::string& name : names) {
    result.outcomes.push_back(converter.ConvertFile(source / name, destination / name));
  }
  return result;
}

// The real file system, except that the n-th changing operation (create, link, rename, remove;
// counted from 1) fails. `no_hard_links` makes every link fail, as on file systems without them.
class FaultyFileSystem : public RealFileSystem {
 public:
  explicit FaultyFileSystem(int fail_at, bool no_hard_links = false)
      : fail_at_(fail_at), no_hard_links_(no_hard_links) {}
  int operations() const { return count_; }
  // "rename", "remove", "link" or "create" once the injected failure has happened.
  const std::string& failed_operation() const { return failed_; }

  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    if (Fails("rename")) {
      return IoError("injected rename failure");
    }
    return RealFileSystem::Rename(from, to);
  }
  Result<bool> RenameIfFree(const std::filesystem::path& from,
                            const std::filesystem::path& to) override {
    if (Fails("rename")) {
      return IoError("injected rename failure");
    }
    return RealFileSystem::RenameIfFree(from, to);
  }
  Status Remove(const std::filesystem::path& path) override {
    if (Fails("remove")) {
      return IoError("injected remove failure");
    }
    return RealFileSystem::Remove(path);
  }
  Result<std::unique_ptr<FileSink>> CreateExclusive(const std::filesystem::path& path) override {
    if (Fails("create")) {
      return IoError("injected create failure");
    }
    return RealFileSystem::CreateExclusive(path);
  }
  Status CreateHardLink(const std::filesystem::path& existing,
                        const std::filesystem::path& link) override {
    if (Fails("link")) {
      return IoError("injected link failure");
    }
    if (no_hard_links_) {
      return IoError("no hard links on this file system");
    }
    return RealFileSystem::CreateHardLink(existing, link);
  }

 private:
  bool Fails(const char* operation) {
    if (++count_ != fail_at_) {
      return false;
    }
    failed_ = operation;
    return true;
  }
  int fail_at_;
  bool no_hard_links_;
  int count_ = 0;
  std::string failed_;
};

}  // namespace penmorph::testing
