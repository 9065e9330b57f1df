#include "common/byte_reader.h"

#include <algorithm>
#include <bit>
#include <cerrno>

#include "common/file_system.h"
#include "common/path_text.h"

namespace penmorph {

namespace fs = std::filesystem;

ByteReader ByteReader::FromMemory(std::span<const std::uint8_t> bytes) {
  ByteReader reader;
  reader.begin_ = bytes.data();
  reader.cur_ = bytes.data();
  reader.end_ = bytes.data() + bytes.size();
  reader.size_ = bytes.size();
  return reader;
}

ByteReader ByteReader::FromWritableMemory(std::span<std::uint8_t> bytes) {
  ByteReader reader = FromMemory(bytes);
  reader.writable_ = bytes.data();
  return reader;
}

ByteReader ByteReader::FromArrivingMemory(std::span<const std::uint8_t> bytes, Arrival& arrival) {
  ByteReader reader = FromMemory(bytes);
  reader.end_ = reader.begin_;  // nothing is known to be there yet
  reader.arrival_ = &arrival;
  return reader;
}

ByteReader ByteReader::FromArrivingWritableMemory(std::span<std::uint8_t> bytes, Arrival& arrival) {
  ByteReader reader = FromArrivingMemory(bytes, arrival);
  reader.writable_ = bytes.data();
  return reader;
}

Result<ByteReader> ByteReader::OpenFile(const fs::path& file, std::size_t buffer_size) {
  std::FILE* handle = penmorph::OpenFile(file, "rb");
  if (handle == nullptr) {
    return LastSystemFailure("cannot open " + PathToUtf8(file));
  }
  auto reader = FromOpenFile(handle, buffer_size);
  if (!reader.ok()) {
    return IoError("cannot open " + PathToUtf8(file) + ": " + reader.error().message,
                   reader.error().cause);
  }
  return reader;
}

Result<ByteReader> ByteReader::FromOpenFile(std::FILE* handle, std::size_t buffer_size) {
  // The size of the file opened, not of whatever has the name a moment before.
  const std::optional<std::uint64_t> size = OpenFileSize(handle);
  if (!size) {
    std::fclose(handle);
    return IoError("its size is unknown");
  }
  // The reader's own buffer is the only one: the file's would copy every byte once more.
  std::setvbuf(handle, nullptr, _IONBF, 0);
  ByteReader reader;
  reader.file_ = handle;
  // Room for the largest single take, twice, so that a kept stretch and the next take fit.
  const std::size_t smallest = 2 * kMaxTake;
  reader.capacity_ =
      static_cast<std::size_t>(std::min<std::uint64_t>(std::max(buffer_size, smallest), *size));
  reader.buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(reader.capacity_);
  reader.begin_ = reader.buffer_.get();
  reader.cur_ = reader.begin_;
  reader.end_ = reader.begin_;
  reader.size_ = *size;
  return reader;
}

ByteReader::ByteReader(ByteReader&& other) noexcept
    : file_(other.file_),
      buffer_(std::move(other.buffer_)),
      capacity_(other.capacity_),
      begin_(other.begin_),
      cur_(other.cur_),
      end_(other.end_),
      buffer_offset_(other.buffer_offset_),
      size_(other.size_),
      ok_(other.ok_),
      error_(std::move(other.error_)),
      keep_from_(other.keep_from_),
      observer_(other.observer_),
      arrival_(other.arrival_),
      writable_(other.writable_) {
  other.file_ = nullptr;
}

ByteReader::~ByteReader() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

void ByteReader::Truncated(std::uint64_t wanted) {
  FailAt(ErrorKind::kTruncated,
         "the file ends early: " + std::to_string(wanted) + " more bytes expected, " +
             std::to_string(remaining()) + " left",
         offset());
}

bool ByteReader::Refill(std::size_t wanted) {
  if (!ok_) {
    return false;
  }
  if (remaining() < wanted) {
    Truncated(wanted);
    return false;
  }
  if (file_ == nullptr) {
    // Memory holds every byte, once it has arrived.
    return arrival_ == nullptr || Arrive(offset() + wanted);
  }
  if (observer_ != nullptr) {
    observer_->BeforeRefill(*this);
  }
  // Keep the unread tail, and the marked bytes before it while they fit in half the buffer;
  // then fill the rest from the file.
  const std::uint8_t* keep = cur_;
  if (keep_from_) {
    const std::uint64_t at = *keep_from_;
    const bool in_buffer = at >= buffer_offset_ && at <= offset();
    const std::uint8_t* mark = begin_ + (in_buffer ? at - buffer_offset_ : 0);
    if (in_buffer && static_cast<std::size_t>(end_ - mark) + wanted <= capacity_ / 2) {
      keep = mark;
    } else if (at < offset()) {
      keep_from_.reset();
    }
  }
  const std::size_t read_part = static_cast<std::size_t>(cur_ - keep);
  const std::size_t kept = static_cast<std::size_t>(end_ - keep);
  buffer_offset_ += static_cast<std::uint64_t>(keep - begin_);
  std::memmove(buffer_.get(), keep, kept);
  std::size_t got = std::fread(buffer_.get() + kept, 1, capacity_ - kept, file_);
  begin_ = buffer_.get();
  cur_ = begin_ + read_part;
  end_ = begin_ + kept + got;
  if (static_cast<std::size_t>(end_ - cur_) < wanted) {
    // The file is shorter than it said (it changed while being read) or the read failed.
    size_ = buffer_offset_ + kept + got;
    FailAt(std::ferror(file_) ? ErrorKind::kIo : ErrorKind::kTruncated,
           std::ferror(file_) ? "cannot read the file" : "the file ends early", offset());
    return false;
  }
  return true;
}

bool ByteReader::Arrive(std::uint64_t end) {
  const std::uint64_t arrived = std::min(arrival_->WaitFor(end), size_);
  // In memory mode begin_ is the first byte and stays, so end_ only moves on.
  end_ = std::max(end_, begin_ + arrived);
  if (static_cast<std::uint64_t>(end_ - begin_) < end) {
    FailAt(ErrorKind::kIo, "the bytes to read did not arrive", offset());
    return false;
  }
  return true;
}

std::optional<std::span<const std::uint8_t>> ByteReader::Buffered(std::uint64_t from,
                                                                  std::uint64_t to) const {
  const std::uint64_t held_end = buffer_offset_ + static_cast<std::uint64_t>(end_ - begin_);
  if (from < buffer_offset_ || to > held_end || from > to) {
    return std::nullopt;
  }
  return std::span<const std::uint8_t>(begin_ + (from - buffer_offset_),
                                       static_cast<std::size_t>(to - from));
}

void ByteReader::SeekTo(std::uint64_t target) {
  if (!ok_) {
    return;
  }
  target = std::min(target, size_);
  if (file_ == nullptr) {
    if (arrival_ != nullptr && target > static_cast<std::uint64_t>(end_ - begin_) &&
        !Arrive(target)) {
      return;
    }
    cur_ = begin_ + target;
    return;
  }
  const std::uint64_t held_end = buffer_offset_ + static_cast<std::uint64_t>(end_ - begin_);
  if (target >= buffer_offset_ && target <= held_end) {
    cur_ = begin_ + (target - buffer_offset_);
    return;
  }
  if (observer_ != nullptr) {
    observer_->BeforeRefill(*this);
  }
#ifdef _WIN32
  int seek = _fseeki64(file_, static_cast<long long>(target), SEEK_SET);
#else
  int seek = fseeko(file_, static_cast<off_t>(target), SEEK_SET);
#endif
  if (seek != 0) {
    FailAt(ErrorKind::kIo, "cannot read the file", offset());
    return;
  }
  keep_from_.reset();
  buffer_offset_ = target;
  begin_ = buffer_.get();
  cur_ = begin_;
  end_ = begin_;
}

void ByteReader::ReadBytesAcross(std::span<std::uint8_t> out) {
  std::size_t done = 0;
  if (remaining() < out.size()) {
    if (ok_) {
      Truncated(out.size());
    }
  } else {
    while (ok_ && done < out.size()) {
      if (cur_ == end_ && !Refill(1)) {
        break;
      }
      std::size_t n = std::min(out.size() - done, static_cast<std::size_t>(end_ - cur_));
      std::memcpy(out.data() + done, cur_, n);
      cur_ += n;
      done += n;
    }
  }
  if (done < out.size()) {
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(done), out.end(), std::uint8_t{0});
  }
}

std::string ByteReader::read_string(std::uint64_t n) {
  if (!ok_) {
    return {};
  }
  if (remaining() < n) {
    Truncated(n);
    return {};
  }
  std::string text(static_cast<std::size_t>(n), '\0');
  read_bytes({reinterpret_cast<std::uint8_t*>(text.data()), text.size()});
  return ok_ ? text : std::string();
}

void ByteReader::skip(std::uint64_t n) {
  if (!ok_) {
    return;
  }
  if (remaining() < n) {
    Truncated(n);
    return;
  }
  std::uint64_t in_buffer = static_cast<std::uint64_t>(end_ - cur_);
  if (n <= in_buffer) {
    cur_ += n;
    return;
  }
  SeekTo(offset() + n);
}

Status ByteReader::CopyTo(ByteSink& sink, std::uint64_t n, std::size_t piece) {
  if (!ok_) {
    return status();
  }
  if (remaining() < n) {
    Truncated(n);
    return status();
  }
  // Straight from the buffer: no second copy of the bytes.
  while (n > 0) {
    if (cur_ == end_ && !Refill(1)) {
      return status();
    }
    const std::size_t size = static_cast<std::size_t>(
        std::min<std::uint64_t>({n, static_cast<std::uint64_t>(end_ - cur_), piece}));
    if (Status written = sink.Write({cur_, size}); !written.ok()) {
      return written;
    }
    cur_ += size;
    n -= size;
  }
  return Status::Ok();
}

bool ByteReader::Expect(std::uint64_t count, std::uint64_t min_item_size, std::string_view what) {
  if (!ok_) {
    return false;
  }
  std::uint64_t left = remaining();
  if (min_item_size != 0 && count > left / min_item_size) {
    FailAt(ErrorKind::kMalformed,
           std::to_string(count) + " " + std::string(what) + " cannot fit in the " +
               std::to_string(left) + " bytes left",
           offset());
    return false;
  }
  return true;
}

void ByteReader::Fail(ErrorKind kind, std::string message) {
  FailAt(kind, std::move(message), offset());
}

void ByteReader::FailAt(ErrorKind kind, std::string message, std::uint64_t at) {
  if (!ok_) {
    return;
  }
  ok_ = false;
  error_ = MakeError(kind, std::move(message), at);
  // From now on every read finds an empty buffer and goes to Refill, which refuses.
  cur_ = end_;
  buffer_offset_ = size_ - static_cast<std::uint64_t>(end_ - begin_);
}

}  // namespace penmorph
