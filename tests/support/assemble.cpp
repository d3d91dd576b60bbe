// Runs the m68hc11 assembler, linker and objcopy in a private temporary
// directory and reads back the flat binary. Tool paths come from the build.
#include "tests/support/assemble.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
      fs::path candidate = fs::temp_directory_path() /
                           ("tm650asm-" + std::to_string(seed()) + std::to_string(seed()));
      if (fs::create_directory(candidate)) {
        path_ = candidate;
        return;
      }
    }
    throw std::runtime_error("Assemble: cannot create a temporary directory");
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path);
  out << text;
  if (!out) throw std::runtime_error("Assemble: cannot write " + path.string());
}

// Runs one tool with its output captured; throws with that output on failure.
void Run(const std::string& what, const std::string& command, const fs::path& log) {
  const std::string line = command + " >" + Quoted(log) + " 2>&1";
  if (std::system(line.c_str()) != 0)
    throw std::runtime_error(what + " failed:\n" + ReadText(log));
}

std::string LinkerScript(uint16_t origin) {
  char script[160];
  std::snprintf(script, sizeof script,
                "SECTIONS { . = 0x%04X; .text : { *(.text) *(.data) } /DISCARD/ : { *(*) } }\n",
                origin);
  return script;
}

}  // namespace

std::vector<uint8_t> Assemble(const std::string& source, uint16_t origin) {
  ScratchDir dir;
  WriteText(dir / "program.s", "\t.text\n" + source + "\n");
  WriteText(dir / "program.ld", LinkerScript(origin));
  const fs::path log = dir / "tool.log";
  Run("m68hc11-as",
      std::string(TM650_M68HC11_AS) + " -o " + Quoted(dir / "program.o") + " " +
          Quoted(dir / "program.s"),
      log);
  Run("m68hc11-ld",
      std::string(TM650_M68HC11_LD) + " -T " + Quoted(dir / "program.ld") + " -o " +
          Quoted(dir / "program.elf") + " " + Quoted(dir / "program.o"),
      log);
  Run("m68hc11-objcopy",
      std::string(TM650_M68HC11_OBJCOPY) + " -O binary -j .text " +
          Quoted(dir / "program.elf") + " " + Quoted(dir / "program.bin"),
      log);
  std::ifstream in(dir / "program.bin", std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
