#pragma once

// Loading and storing little-endian values at a byte pointer, for records read or written as
// one fixed-size piece (ByteReader::Take, ByteWriter::Reserve).

#include <bit>
#include <cstdint>
#include <cstring>

namespace penmorph {

template <class T>
T LoadLittleEndian(const std::uint8_t* at) {
  if constexpr (std::endian::native == std::endian::little) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
  } else {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      bits |= std::uint64_t{at[i]} << (8 * i);
    }
    if constexpr (sizeof(T) == 8) {
      return std::bit_cast<T>(bits);
    } else if constexpr (sizeof(T) == 4) {
      return std::bit_cast<T>(static_cast<std::uint32_t>(bits));
    } else if constexpr (sizeof(T) == 2) {
      return std::bit_cast<T>(static_cast<std::uint16_t>(bits));
    } else {
      return static_cast<T>(bits);
    }
  }
}

template <class T>
void StoreLittleEndian(std::uint8_t* at, T value) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(at, &value, sizeof value);
  } else {
    std::uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      at[i] = bytes[sizeof(T) - 1 - i];
    }
  }
}

}  // namespace penmorph
