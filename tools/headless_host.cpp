// The headless shell's side of the host contract.
#include "tools/headless_host.h"

void HeadlessHost::PaperAppend(const char* text, size_t length) {
  paper.append(text, length);
  if (paperOut) {
    std::fwrite(text, 1, length, paperOut);
    std::fflush(paperOut);
  }
}

void HeadlessHost::Stopped(StopReason reason, uint16_t pc, uint8_t opcode) {
  stopped = true;
  stopReason = reason;
  stopPc = pc;
  stopOpcode = opcode;
  if (reason == StopReason::Undecoded) {
    std::fprintf(stderr, "opcode: not decoded: 0x%02X at 0x%04X\n", opcode,
                 static_cast<uint16_t>(pc - 1));
  } else {
    std::fprintf(stderr, "halted: CLI or SEI before 0x%04X\n", pc);
  }
}
