// Runs the m68hc11 assembler, linker and objcopy in a private temporary
// directory and reads back the flat binary. Tool paths come from the build.
#include "tests/support/assemble.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// A fresh directory under the system's temporary one, removed again on exit.
struct ScratchDir {
  fs::path path;
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "tm650asm-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("Assemble: no temporary directory");
    path = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  std::string operator/(const char* name) const { return "'" + (path / name).string() + "'"; }
};

}  // namespace

std::vector<uint8_t> Assemble(const std::string& source, uint16_t origin) {
  ScratchDir dir;
  char script[160];
  std::snprintf(script, sizeof script,
                "SECTIONS { . = 0x%04X; .text : { *(.text) *(.data) } /DISCARD/ : { *(*) } }\n",
                origin);
  std::ofstream(dir.path / "program.s") << "\t.text\n" << source << "\n";
  std::ofstream(dir.path / "program.ld") << script;
  // One shell line; the first tool to fail stops it, its messages in the log.
  const std::string command =
      "(" + std::string(TM650_M68HC11_AS) + " -o " + dir / "program.o" + " " + dir / "program.s" +
      " && " + TM650_M68HC11_LD + " -T " + dir / "program.ld" + " -o " + dir / "program.elf" +
      " " + dir / "program.o" + " && " + TM650_M68HC11_OBJCOPY + " -O binary -j .text " +
      dir / "program.elf" + " " + dir / "program.bin" + ") >" + dir / "tool.log" + " 2>&1";
  if (std::system(command.c_str()) != 0) {
    std::ifstream log(dir.path / "tool.log");
    throw std::runtime_error("Assemble failed:\n" +
                             std::string(std::istreambuf_iterator<char>(log), {}));
  }
  std::ifstream in(dir.path / "program.bin", std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
