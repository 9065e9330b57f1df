#include "test_support.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace penmorph::testing {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
  std::random_device device;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("penmorph-test-" + std::to_string(device()));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    throw std::runtime_error("cannot write " + file.string());
  }
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + file.string());
  }
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<fs::path> SampleFiles(const std::string& extension) {
  auto upper = [](std::string text) {
    for (char& c : text) {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
  };
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(PENMORPH_SAMPLES_DIR, ec)) {
    if (upper(entry.path().extension().string()) == upper(extension)) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

FolderSnapshot Snapshot(const fs::path& folder) {
  FolderSnapshot snapshot;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (entry.is_symlink()) {
      snapshot[name] = "<link to " + fs::read_symlink(entry.path()).string() + ">";
    } else if (entry.is_directory()) {
      snapshot[name] = "<dir>";
    } else {
      snapshot[name] = ReadBytes(entry.path());
    }
  }
  return snapshot;
}

bool IgnoresCase(const std::filesystem::path& folder) {
  const std::filesystem::path probe = folder / "case-probe";
  WriteBytes(probe, "");
  std::error_code ec;
  const bool ignores = std::filesystem::exists(folder / "CASE-PROBE", ec);
  std::filesystem::remove(probe, ec);
  return ignores;
}

}  // namespace penmorph::testing
