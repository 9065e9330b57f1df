#pragma once

// The round trip both DOS formats are tested through: read bytes, remap, write, and check that
// the output reads back as the workspace the writer left.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "common/byte_sink.h"
#include "dos_test_files.h"
#include "formats/dos/jwc_file.h"
#include "formats/dos/jwk_file.h"

namespace penmorph::testing {

using namespace jw;  // the DOS formats these helpers serve

inline Status ReadFrom(const std::string& bytes, JwcWorkspace& workspace) {
  auto data = AsVector(bytes);
  auto in = ByteReader::FromMemory(data);
  return JwcRead(in, workspace);
}

inline Status ReadFrom(const std::string& bytes, JwkWorkspace& workspace) {
  auto data = AsVector(bytes);
  auto in = ByteReader::FromMemory(data);
  return JwkRead(in, workspace);
}

inline Status Remap(JwcWorkspace& workspace, const JwcConvSettings& table) {
  return JwcRemap(workspace, table);
}
inline Status Remap(JwkWorkspace& workspace, const JwcConvSettings& table) {
  return JwkRemap(workspace, table);
}

inline Status WriteTo(std::string& bytes, JwcWorkspace& workspace) {
  VectorSink sink;
  ByteWriter writer(sink);
  Status written = JwcWrite(writer, workspace);
  bytes.assign(sink.bytes().begin(), sink.bytes().end());
  return written;
}
inline Status WriteTo(std::string& bytes, JwkWorkspace& workspace) {
  VectorSink sink;
  ByteWriter writer(sink);
  Status written = JwkWrite(writer, workspace);
  bytes.assign(sink.bytes().begin(), sink.bytes().end());
  return written;
}

// Writes a workspace that must be writable.
template <class Workspace>
std::string Written(Workspace& workspace) {
  std::string bytes;
  Status written = WriteTo(bytes, workspace);
  EXPECT_TRUE(written.ok()) << written.error().Describe();
  return bytes;
}

// The whole conversion of one file in memory.
template <class Workspace>
std::string Convert(const std::string& bytes, const JwcConvSettings& table = {}) {
  Workspace workspace;
  Status read = ReadFrom(bytes, workspace);
  EXPECT_TRUE(read.ok()) << read.error().Describe();
  Status remapped = Remap(workspace, table);
  EXPECT_TRUE(remapped.ok()) << remapped.error().Describe();
  std::string written = Written(workspace);
  Workspace again;
  Status reread = ReadFrom(written, again);
  EXPECT_TRUE(reread.ok()) << reread.error().Describe();
  EXPECT_TRUE(again == workspace) << "the output does not read back as what was written";
  return written;
}

// Reads bytes that must be readable.
template <class Workspace>
Workspace Read(const std::string& bytes) {
  Workspace workspace;
  Status read = ReadFrom(bytes, workspace);
  EXPECT_TRUE(read.ok()) << read.error().Describe();
  return workspace;
}

// The reason bytes that must not be readable fail with.
template <class Workspace>
Error ReadFailure(const std::string& bytes) {
  Workspace workspace;
  Status read = ReadFrom(bytes, workspace);
  EXPECT_FALSE(read.ok());
  return read.ok() ? Error{} : read.error();
}

template <class Workspace>
Error WriteFailure(Workspace& workspace) {
  std::string bytes;
  Status written = WriteTo(bytes, workspace);
  EXPECT_FALSE(written.ok());
  return written.ok() ? Error{} : written.error();
}

inline bool Mentions(const Error& error, std::string_view text) {
  return error.message.find(text) != std::string::npos;
}

template <std::size_t N>
std::string AsText(const std::array<std::uint8_t, N>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace penmorph::testing
