#pragma once

// A table that grows in chunks of doubling size: appending never moves what is already stored
// (so a table of a million records needs no second copy of itself while it grows, as a vector
// would), a small table costs little, and finding record i takes a few bit operations. Chunks
// are raw storage: only the records appended are constructed, and the unused end of the last
// chunk is never touched.

#include <bit>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace penmorph {

template <class T>
class ChunkedTable {
 public:
  ChunkedTable() = default;
  ChunkedTable(const ChunkedTable& other) { *this = other; }
  ChunkedTable(ChunkedTable&& other) noexcept
      : chunks_(std::exchange(other.chunks_, {})), size_(std::exchange(other.size_, 0)) {}
  ChunkedTable& operator=(ChunkedTable&& other) noexcept {
    if (this != &other) {
      clear();
      chunks_ = std::exchange(other.chunks_, {});
      size_ = std::exchange(other.size_, 0);
    }
    return *this;
  }
  ChunkedTable& operator=(const ChunkedTable& other) {
    if (this != &other) {
      clear();
      for (const T& value : other) {
        push_back(value);
      }
    }
    return *this;
  }
  ~ChunkedTable() { clear(); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](std::size_t i) { return *Slot(i); }
  const T& operator[](std::size_t i) const { return *Slot(i); }
  T& back() { return (*this)[size_ - 1]; }

  template <class... Args>
  T& emplace_back(Args&&... args) {
    const std::size_t chunk = ChunkOf(size_);
    if (chunk == chunks_.size()) {
      chunks_.push_back(nullptr);
    }
    if (chunks_[chunk] == nullptr) {
      chunks_[chunk] = std::allocator<T>().allocate(ChunkSize(chunk));
    }
    T* slot = Slot(size_);
    std::construct_at(slot, std::forward<Args>(args)...);
    ++size_;
    return *slot;
  }
  void push_back(const T& value) { emplace_back(value); }

  void clear() {
    for (std::size_t i = 0; i < size_; ++i) {
      std::destroy_at(Slot(i));
    }
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
      if (chunks_[c] != nullptr) {
        std::allocator<T>().deallocate(chunks_[c], ChunkSize(c));
      }
    }
    chunks_.clear();
    chunks_.shrink_to_fit();
    size_ = 0;
  }

  template <class Table, class Value>
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = Value*;
    using reference = Value&;
    Iterator(Table* table, std::size_t i) : table_(table), i_(i) {}
    Value& operator*() const { return (*table_)[i_]; }
    Value* operator->() const { return &(*table_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return i_ == other.i_; }

   private:
    Table* table_;
    std::size_t i_;
  };
  using iterator = Iterator<ChunkedTable, T>;
  using const_iterator = Iterator<const ChunkedTable, const T>;

  iterator begin() { return {this, 0}; }
  iterator end() { return {this, size_}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

  bool operator==(const ChunkedTable& other) const {
    if (size_ != other.size_) {
      return false;
    }
    for (std::size_t i = 0; i < size_; ++i) {
      if (!((*this)[i] == other[i])) {
        return false;
      }
    }
    return true;
  }

 private:
  // Chunk c holds kFirst << c records and starts at record kFirst * (2^c - 1).
  static constexpr std::size_t kFirst = 8;
  static std::size_t ChunkOf(std::size_t i) {
    return static_cast<std::size_t>(std::bit_width(i / kFirst + 1)) - 1;
  }
  static std::size_t ChunkSize(std::size_t chunk) { return kFirst << chunk; }
  T* Slot(std::size_t i) const {
    const std::size_t chunk = ChunkOf(i);
    return chunks_[chunk] + (i - kFirst * ((std::size_t{1} << chunk) - 1));
  }

  // Grows with the chunks: an empty table holds no chunk list at all, which matters for the many
  // small tables of block definitions (a fixed list would make each of them cost far more than
  // the bytes it was read from).
  std::vector<T*> chunks_;
  std::size_t size_ = 0;
};

}  // namespace penmorph
