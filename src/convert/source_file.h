#pragma once

// Opening a file for a format: one open, the signature checked from the first bytes of the same
// reader, which then goes back to the start for the format to read.

#include <filesystem>
#include <optional>

#include "common/byte_reader.h"
#include "common/file_system.h"
#include "convert/file_format.h"

namespace penmorph {

// Buffers: a conversion reads the whole file in long pieces; a memo only the header.
inline constexpr std::size_t kConversionBuffer = 1 << 20;
inline constexpr std::size_t kHeaderBuffer = 8 * 1024;

// True when the file the reader holds starts with the format's signature; the reader stands at
// the start again afterwards.
bool HasSignature(const FileFormat& format, ByteReader& in);
// The same for an open file not read yet, reading no more than its first bytes.
bool HasSignature(const FileFormat& format, std::FILE* file);

// Why a file cannot be read as a source, or nullopt when it can: an IoError "no such file" or
// "not a regular file", with its cause.
std::optional<Error> UnreadableReason(const std::filesystem::path& file);

// A source opened for a conversion with one look at it: a file of at most kConversionBuffer
// bytes read whole into `buffer` (the reader reads that memory, which must outlive it), a
// larger one read through a buffer of that size. Fails as UnreadableReason words it, else
// "cannot open the file: ..." with the system's reason.
Result<ByteReader> OpenSource(const std::filesystem::path& file, ReusedBuffer& buffer);

}  // namespace penmorph
