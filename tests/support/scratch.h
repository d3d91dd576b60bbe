// Scratch folders and whole-file reads and writes, for the tests that touch
// the file system.
#pragma once

#include <stdlib.h>
#ifdef _WIN32
#include <io.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary one, removed with all it holds.
struct ScratchDir {
  std::filesystem::path path;

  ScratchDir() {
    const std::string pattern = (std::filesystem::temp_directory_path() / "tm650-test-XXXXXX").string();
#ifdef _WIN32
    // No mkdtemp here: a free name, and a folder that must be new.
    for (int attempt = 0; attempt < 16; ++attempt) {
      std::string name = pattern;
      if (_mktemp_s(name.data(), name.size() + 1) == 0 && std::filesystem::create_directory(name)) {
        path = name;
        return;
      }
    }
    throw std::runtime_error("no scratch folder");
#else
    std::string name = pattern;
    if (!mkdtemp(name.data())) throw std::runtime_error("no scratch folder");
    path = name;
#endif
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::filesystem::path operator/(std::string_view name) const { return path / name; }
};

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Spill(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
