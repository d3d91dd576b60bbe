// Runs the m68hc11 assembler, linker and objcopy in a scratch folder and
// reads back the flat binary. Tool paths come from the build.
#include "tests/support/assemble.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/scratch.h"

std::vector<uint8_t> Assemble(const std::string& source, uint16_t origin) {
  ScratchDir dir;
  const auto file = [&](const char* name) { return " '" + (dir / name).string() + "'"; };
  char script[160];
  std::snprintf(script, sizeof script,
                "SECTIONS { . = 0x%04X; .text : { *(.text) *(.data) } /DISCARD/ : { *(*) } }\n", origin);
  Spill(dir / "program.s", "\t.text\n" + source + "\n");
  Spill(dir / "program.ld", script);
  // One shell line; the first tool to fail stops it, its messages in the log.
  const std::string command = "(" + std::string(TM650_M68HC11_AS) + " -o" + file("program.o") + file("program.s") +
                              " && " + TM650_M68HC11_LD + " -T" + file("program.ld") + " -o" + file("program.elf") +
                              file("program.o") + " && " + TM650_M68HC11_OBJCOPY + " -O binary -j .text" +
                              file("program.elf") + file("program.bin") + ") >" + file("tool.log") + " 2>&1";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("Assemble failed:\n" + Slurp(dir / "tool.log"));
  const std::string bytes = Slurp(dir / "program.bin");
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}
