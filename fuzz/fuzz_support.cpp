#include "fuzz_support.h"

#include <sanitizer/allocator_interface.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace penmorph::fuzz {

namespace {

// The allocator hooks cannot carry state of their own: these are the target's bookkeeping.
std::atomic<bool> counting{false};
std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

void OnMalloc(const volatile void* pointer, std::size_t size) {
  if (pointer == nullptr || !counting.load(std::memory_order_relaxed)) {
    return;
  }
  std::size_t now = live.fetch_add(size, std::memory_order_relaxed) + size;
  std::size_t high = peak.load(std::memory_order_relaxed);
  while (now > high && !peak.compare_exchange_weak(high, now, std::memory_order_relaxed)) {
  }
}

void OnFree(const volatile void* pointer) {
  if (pointer == nullptr || !counting.load(std::memory_order_relaxed)) {
    return;
  }
  std::size_t size = __sanitizer_get_allocated_size(const_cast<const void*>(pointer));
  // Blocks allocated before counting began may be freed now; they never raised the count.
  std::size_t now = live.load(std::memory_order_relaxed);
  live.store(now > size ? now - size : 0, std::memory_order_relaxed);
}

bool InstallHooks() {
  return __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
}

}  // namespace

void Finding(std::string_view what) {
  std::fprintf(stderr, "FINDING: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

void Finding(std::string_view what, const Error& error) {
  Finding(std::string(what) + ": " + error.Describe());
}

bool WriteSucceeded(const Status& written, std::string_view what) {
  if (written.ok()) {
    return true;
  }
  if (written.error().kind != ErrorKind::kRange) {
    Finding(std::string(what) + " failed on what was read", written.error());
  }
  return false;
}

void ExpectRead(const Status& read, std::string_view what) {
  if (!read.ok()) {
    Finding(std::string(what) + " cannot be read back", read.error());
  }
}

MemoryBound::MemoryBound(std::size_t input_size) : input_size_(input_size) {
  static const bool installed = InstallHooks();
  if (!installed) {
    Finding("the allocator hooks could not be installed");
  }
  live.store(0);
  peak.store(0);
  counting.store(true);
}

MemoryBound::~MemoryBound() {
  counting.store(false);
  const std::size_t limit = kFactor * input_size_ + kFixed;
  if (peak.load() > limit) {
    Finding("an input of " + std::to_string(input_size_) + " bytes made the target hold " +
            std::to_string(peak.load()) + " bytes at once, more than the bound of " +
            std::to_string(limit));
  }
}

}  // namespace penmorph::fuzz
