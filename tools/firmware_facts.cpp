// Writes the facts the firmware's sources share with the emulator, taken from
// the emulator's own tables at build time: the lamp bits, the segment
// patterns the display controller shows, the print line's end mark and
// every fixed address, as assembler constants (an include file), and the
// addresses again as linker symbols with the checks that hold the routines
// there. Usage: firmware_facts <include file> <linker script part>.
#include <cctype>
#include <cstdio>
#include <span>
#include <string>

#include "emulator/firmware_map.h"
#include "peripherals/display.h"
#include "resources/controls.h"
#include "resources/ids.h"

namespace {

// "ARC LENGTH" -> "ARC", "M/T" -> "MT": the first word, letters and digits.
std::string LampName(const char* name) {
  std::string text;
  for (const char* c = name; *c && *c != ' '; ++c)
    if (std::isalnum(static_cast<unsigned char>(*c))) text += *c;
  return text;
}

// The matrix key (row * 8 + column) behind a key button.
int KeyOf(int controlId) {
  for (const KeyControl& control : KeyControls)
    if (control.controlId == controlId) return control.key;
  return -1;
}

struct KeyName {
  const char* name;
  int controlId;
};

// The keys the firmware names; the digits are their own numbers, and S R X
// Y Z follow one another.
constexpr KeyName FirmwareKeys[] = {
    {"KEY_POINT", IDC_KEY_POINT}, {"KEY_C", IDC_KEY_C}, {"KEY_AC", IDC_KEY_AC_ALL},
    {"KEY_ACNG", IDC_KEY_AC_NO_GAUGE}, {"KEY_S", IDC_KEY_S},
};

std::string Upper(const char* name) {
  std::string text(name);
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void WriteInclude(std::FILE* out) {
  std::fputs("; The emulator's facts for the firmware, written by the build from its\n"
             "; tables (resources/controls.h, peripherals/display.cpp,\n"
             "; emulator/firmware_map.h). Not to be edited.\n\n",
             out);
  std::fputs("        ; lamps on port 2\n", out);
  for (const LampControl& lamp : LampControls)
    std::fprintf(out, "        .equ LAMP_%s, 0x%02X\n", LampName(lamp.name).c_str(), lamp.mask);
  std::fputs("\n        ; segment bytes the display controller shows as characters\n", out);
  for (const SegmentRow& row : SegmentTable) {
    const std::string name = row.character == ' ' ? "BLANK" : std::string(1, static_cast<char>(row.character));
    std::fprintf(out, "        .equ SEG_%s, 0x%02X\n", name.c_str(), row.segments);
  }
  std::fputs("\n        ; key numbers (row * 8 + column); FN_x is function key x\n", out);
  for (const KeyName& key : FirmwareKeys) std::fprintf(out, "        .equ %s, %d\n", key.name, KeyOf(key.controlId));
  for (int n = 0; n < 14; ++n) std::fprintf(out, "        .equ FN_%c, %d\n", 'A' + n, KeyOf(IDC_KEY_A + n));
  std::fprintf(out, "\n        .equ LINE_END, 0x%02X           ; ends a print line early\n", PRINT_END);
  std::fputs("\n        ; fixed addresses: the emulator traps, patches or reads these\n", out);
  for (const auto& symbols : {std::span<const FirmwareSymbol>(FirmwareCodeSymbols),
                              std::span<const FirmwareSymbol>(FirmwareRamSymbols)}) {
    for (const FirmwareSymbol& symbol : symbols)
      std::fprintf(out, "        .equ AT_%s, 0x%04X\n", Upper(symbol.name).c_str(), symbol.address);
  }
}

void WriteLinkerPart(std::FILE* out) {
  std::fputs("/* The emulator's fixed addresses (emulator/firmware_map.h), written by the\n"
             "   build. Not to be edited. */\n\n",
             out);
  std::fprintf(out, "rom_origin = 0x%04X;\nrom_length = 0x%04zX;\n", FIRMWARE_BASE, FIRMWARE_SIZE);
  std::fprintf(out, "print_buffer_size = %zu;\n", PRINT_BUFFER_SIZE);
  for (const auto& symbols : {std::span<const FirmwareSymbol>(FirmwareCodeSymbols),
                              std::span<const FirmwareSymbol>(FirmwareRamSymbols)}) {
    for (const FirmwareSymbol& symbol : symbols) std::fprintf(out, "at_%s = 0x%04X;\n", symbol.name, symbol.address);
  }
  std::fputc('\n', out);
  for (const FirmwareSymbol& symbol : FirmwareCodeSymbols)
    std::fprintf(out, "ASSERT(%s == 0x%04X, \"%s must be at 0x%04X\")\n", symbol.name, symbol.address, symbol.name,
                 symbol.address);
}

bool Write(const char* path, void (*write)(std::FILE*)) {
  std::FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  write(out);
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: firmware_facts <include file> <linker script part>\n", stderr);
    return 2;
  }
  if (Write(argv[1], WriteInclude) && Write(argv[2], WriteLinkerPart)) return 0;
  std::perror("firmware_facts");
  return 1;
}
