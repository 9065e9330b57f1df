#pragma once

// The checks of the DOS formats' targets: what a reader read must be writable (or fail only
// for a value that no longer fits), and the output must read back as the workspace the writer
// left; the header lines alone must do the same.

#include <memory>
#include <string>
#include <vector>

#include "common/byte_writer.h"
#include "fuzz_support.h"

namespace penmorph::fuzz {

template <class Workspace>
using DosRead = Status (*)(ByteReader&, Workspace&);
template <class Workspace>
using DosWrite = Status (*)(ByteWriter&, Workspace&);

template <class Workspace>
Status WriteTo(VectorSink& sink, DosWrite<Workspace> write, Workspace& workspace) {
  ByteWriter out(sink);
  return write(out, workspace);
}

template <class Workspace>
void CheckDosFile(std::span<const std::uint8_t> data, DosRead<Workspace> read_from,
                  DosWrite<Workspace> write, std::string_view name) {
  auto first = std::make_unique<Workspace>();
  ByteReader in = Reader(data);
  if (!read_from(in, *first).ok()) {
    return;
  }
  VectorSink sink;
  if (!WriteSucceeded(WriteTo(sink, write, *first), std::string(name) + "Write")) {
    return;
  }
  auto second = std::make_unique<Workspace>();
  ByteReader again = Reader(sink.bytes());
  ExpectRead(read_from(again, *second), std::string(name) + "Write's output");
  if (!(*second == *first)) {
    Finding(std::string(name) + "Write's output does not read back as what was written");
  }
  VectorSink twice;
  WriteSucceeded(WriteTo(twice, write, *second), std::string(name) + "Write of its own output");
  if (twice.bytes() != sink.bytes()) {
    Finding("converting " + std::string(name) + "Write's output again changes it");
  }
}

template <class Workspace, class BuildLines>
void CheckDosHeader(std::span<const std::uint8_t> data, DosRead<Workspace> read_header,
                    BuildLines build_lines, DosRead<Workspace> read_whole, std::string_view name) {
  auto first = std::make_unique<Workspace>();
  ByteReader in = Reader(data);
  if (!read_header(in, *first).ok()) {
    return;
  }
  // A file that reads whole shows the same memo in the file list.
  auto whole = std::make_unique<Workspace>();
  ByteReader all = Reader(data);
  if (read_whole(all, *whole).ok() && !(whole->header.line0 == first->header.line0)) {
    Finding(std::string(name) + "ReadHeaderInfo and the whole read disagree on line 0");
  }
  if (!WriteSucceeded(build_lines(*first), std::string(name) + " header lines")) {
    return;
  }
  std::string bytes;
  for (const std::string& line : first->header_lines) {
    bytes += line;
  }
  auto second = std::make_unique<Workspace>();
  ByteReader again = Reader({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  ExpectRead(read_header(again, *second), std::string(name) + " header lines as built");
  if (!(second->header == first->header) || second->header_lines != first->header_lines) {
    Finding(std::string(name) + " header lines as built do not read back the same");
  }
}

}  // namespace penmorph::fuzz
