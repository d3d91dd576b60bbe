// romcheck: proves that a firmware image only uses instructions the emulator
// decodes. Follows the code from the reset vector, every fixed entry point and
// every jump table, and fails on the first opcode with an empty decoder slot.
//
// Jump tables are found in the symbol list (`m68hc11-nm` output): a table runs
// from a symbol named jt_NAME to jt_NAME_end and holds 16-bit code addresses.
// Data is never decoded: only flow is followed. With the symbol list it also
// holds every routine and RAM location the emulator knows by address to the
// emulator's own table of them.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/firmware_map.h"
#include "emulator/m6303.h"

namespace {

constexpr uint32_t kBase = FIRMWARE_BASE;
constexpr size_t kSize = FIRMWARE_SIZE;

// Routines the emulator enters or traps by address (the tone's stores are
// inside the tone).
constexpr uint16_t kFixedEntries[] = {ENTRY_RESET,   ENTRY_POWER_OFF, TRAP_SLEEP,      TRAP_OFF_LOOP,
                                      WAIT_FOR_KEY,  COUNTDOWN_JUMP,  CONFIRM_DELAY,   TRAP_TONE,
                                      TRAP_LINE_FEED, SELF_CHECK_SWI, TRAP_PRINT_LINE, ALARM_PAUSE};

struct Entry {
  uint16_t address;
  std::string from;  // what led there, for the message
};

bool InRom(uint32_t address) { return address >= kBase && address < kBase + kSize; }

class Checker {
 public:
  explicit Checker(std::vector<uint8_t> image) : image_(std::move(image)) {}

  uint8_t At(uint32_t address) const { return image_[address - kBase]; }
  uint16_t WordAt(uint32_t address) const {
    return static_cast<uint16_t>(At(address) << 8 | At(address + 1));
  }

  void Add(uint16_t address, const std::string& from) { work_.push_back({address, from}); }

  // Walks every path; returns the number of problems found.
  int Walk() {
    while (!work_.empty()) {
      Entry entry = work_.back();
      work_.pop_back();
      Follow(entry);
    }
    return errors_;
  }

  size_t InstructionsSeen() const { return seen_.size(); }

  void Fail(const std::string& message) {
    std::fprintf(stderr, "romcheck: %s\n", message.c_str());
    ++errors_;
  }

 private:
  static std::string Hex(unsigned value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", width, value);
    return text;
  }

  void Follow(const Entry& start) {
    uint32_t pc = start.address;
    std::string from = start.from;
    for (;;) {
      if (!InRom(pc)) {
        Fail("flow leaves the ROM at " + Hex(pc, 4) + " (from " + from + ")");
        return;
      }
      if (!seen_.insert(static_cast<uint16_t>(pc)).second) return;
      const uint8_t opcode = At(pc);
      const uint8_t length = InstructionLength[opcode];
      if (length == 0) {
        Fail("opcode " + Hex(opcode, 2) + " at " + Hex(pc, 4) +
             " is not decoded by the emulator (reached from " + from + ")");
        return;
      }
      if (opcode == 0x0E || opcode == 0x0F) {
        Fail(std::string(Mnemonic[opcode]) + " at " + Hex(pc, 4) +
             " would halt the emulator (reached from " + from + ")");
        return;
      }
      if (!InRom(pc + length - 1)) {
        Fail("instruction at " + Hex(pc, 4) + " runs past the end of the ROM");
        return;
      }
      const uint32_t next = pc + length;
      const std::string here = Hex(pc, 4);
      if (opcode == 0x39) return;                      // RTS
      if (opcode == 0x7E) {                            // JMP extended
        pc = WordAt(pc + 1);
        from = here;
        continue;
      }
      if (opcode == 0x20 || (opcode >= 0x22 && opcode <= 0x2F) || opcode == 0x8D) {
        const int8_t offset = static_cast<int8_t>(At(pc + 1));
        const uint32_t target = (next + offset) & 0xFFFF;
        if (opcode == 0x20) {                          // BRA: the target only
          pc = target;
          from = here;
          continue;
        }
        Add(static_cast<uint16_t>(target), here);
      } else if (opcode == 0xBD) {                     // JSR extended
        Add(WordAt(pc + 1), here);
      }
      pc = next;
      from = here;
    }
  }

  std::vector<uint8_t> image_;
  std::vector<Entry> work_;
  std::set<uint16_t> seen_;
  int errors_ = 0;
};

// Symbols from nm output: "0000e210 T keywait".
std::map<std::string, uint32_t> ReadSymbols(const char* path, bool* ok) {
  std::map<std::string, uint32_t> symbols;
  std::ifstream in(path);
  *ok = static_cast<bool>(in);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string value, type, name;
    if (!(fields >> value >> type >> name)) continue;
    symbols[name] = static_cast<uint32_t>(std::stoul(value, nullptr, 16));
  }
  return symbols;
}

// Code symbols must all be there; RAM symbols are checked where exported.
void CheckFixedSymbols(Checker& checker, const std::map<std::string, uint32_t>& symbols) {
  auto check = [&](const FirmwareSymbol& symbol, bool required) {
    const auto found = symbols.find(symbol.name);
    char message[120];
    if (found == symbols.end()) {
      if (!required) return;
      std::snprintf(message, sizeof message, "symbol %s is missing (the emulator expects 0x%04X)", symbol.name,
                    symbol.address);
      checker.Fail(message);
    } else if (found->second != symbol.address) {
      std::snprintf(message, sizeof message, "symbol %s is at 0x%04X; the emulator expects 0x%04X", symbol.name,
                    found->second, symbol.address);
      checker.Fail(message);
    }
  };
  for (const FirmwareSymbol& symbol : FirmwareCodeSymbols) check(symbol, true);
  for (const FirmwareSymbol& symbol : FirmwareRamSymbols) check(symbol, false);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: romcheck IMAGE [SYMBOLS]\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "romcheck: cannot open %s\n", argv[1]);
    return 2;
  }
  std::vector<uint8_t> image((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
  if (image.size() != kSize) {
    std::fprintf(stderr, "romcheck: %s holds %zu bytes, not %zu\n", argv[1], image.size(), kSize);
    return 1;
  }
  Checker checker(image);

  // The vector area: only reset is used, the rest must stay 0.
  for (uint32_t address = 0xFFF0; address < 0xFFFE; ++address) {
    if (checker.At(address) != 0) {
      char message[80];
      std::snprintf(message, sizeof message, "vector byte at 0x%04X is not 0", address);
      checker.Fail(message);
    }
  }
  const uint16_t reset = checker.WordAt(RESET_VECTOR);
  if (reset != ENTRY_RESET) checker.Fail("the reset vector does not hold 0xC000");
  checker.Add(reset, "the reset vector");
  for (uint16_t entry : kFixedEntries) checker.Add(entry, "a fixed entry point");

  int tables = 0;
  if (argc == 3) {
    bool ok = false;
    const auto symbols = ReadSymbols(argv[2], &ok);
    if (!ok) {
      std::fprintf(stderr, "romcheck: cannot open %s\n", argv[2]);
      return 2;
    }
    CheckFixedSymbols(checker, symbols);
    for (const auto& [name, start] : symbols) {
      if (name.rfind("jt_", 0) != 0 || name.ends_with("_end")) continue;
      const auto end = symbols.find(name + "_end");
      if (end == symbols.end() || end->second < start || (end->second - start) % 2 != 0 ||
          !InRom(start) || !InRom(end->second - 1)) {
        checker.Fail("jump table " + name + " has no proper " + name + "_end");
        continue;
      }
      ++tables;
      for (uint32_t slot = start; slot < end->second; slot += 2) {
        checker.Add(checker.WordAt(slot), "jump table " + name);
      }
    }
  }

  const int errors = checker.Walk();
  if (errors != 0) {
    std::fprintf(stderr, "romcheck: %s: %d problem(s)\n", argv[1], errors);
    return 1;
  }
  std::printf("romcheck: %s: %zu instructions reached from the reset vector, %zu fixed entries "
              "and %d jump table(s), all decoded\n",
              argv[1], checker.InstructionsSeen(), std::size(kFixedEntries), tables);
  return 0;
}
