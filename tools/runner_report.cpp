// The report's JSON, written field by field in the order the help lists.
#include "tools/runner_report.h"

#include <cinttypes>
#include <cstdio>

#include "emulator/machine_internals.h"
#include "resources/controls.h"

namespace {

const char* Bool(bool value) { return value ? "true" : "false"; }

std::string Format(const char* format, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

std::string Points(const DigitState& digits) {
  std::string text = "[";
  for (size_t i = 0; i < digits.point.size(); ++i) text += std::string(i ? ", " : "") + Bool(digits.point[i]);
  return text + "]";
}

std::string Lamps(uint8_t lamps) {
  std::string text = "{";
  for (size_t i = 0; i < LampControls.size(); ++i)
    text += Format("%s\"%s\": %s", i ? ", " : "", LampControls[i].name, Bool((lamps & LampControls[i].mask) != 0));
  return text + "}";
}

std::string Registers(const Cpu& cpu) {
  return Format("{\"A\": %u, \"B\": %u, \"X\": %u, \"SP\": %u, \"PC\": %u, \"CCR\": %u}", cpu.A, cpu.B, cpu.X, cpu.SP,
                cpu.PC, cpu.CCR);
}

std::string Peeks(const ReportInput& input) {
  std::string text = "{";
  for (const auto& [address, bytes] : input.peeks) {
    text += Format("%s\"%04X\": \"", text.size() > 1 ? ", " : "", address);
    for (uint8_t byte : bytes) text += Format("%02X", byte);
    text += '"';
  }
  return text + "}";
}

}  // namespace

ReportInput GatherReport(const Machine& machine, const Driver& driver, Stop stop, const std::vector<Peek>& peeks) {
  ReportInput input{MachineView(machine), MachineInternals::core(machine).cpu, driver.count, stop, {}};
  for (const Peek& peek : peeks) {
    std::vector<uint8_t> bytes;
    for (uint32_t n = 0; n <= peek.length; ++n) bytes.push_back(MachineInternals::core(machine).memory[(peek.address + n) & 0xFFFF]);
    input.peeks.emplace_back(peek.address, std::move(bytes));
  }
  return input;
}

std::string ReportJson(const ReportInput& input) {
  std::string digits;
  for (uint8_t digit : input.view.digits.digit) digits += DigitCharacter(digit);
  std::string json = "{\n";
  json += "  \"digits\": \"" + digits + "\",\n";
  json += "  \"points\": " + Points(input.view.digits) + ",\n";
  json += "  \"shown\": \"" + ShownText(input.view.digits) + "\",\n";
  json += "  \"lamps\": " + Lamps(input.view.lamps) + ",\n";
  json += std::string("  \"power\": \"") + (input.view.on ? TEXT_OFF : TEXT_ON) + "\",\n";
  json += Format("  \"beeps\": %u,\n", input.view.beeps);
  json += "  \"registers\": " + Registers(input.cpu) + ",\n";
  json += Format("  \"instructions\": %" PRIu64 ",\n", input.instructions);
  json += std::string("  \"stop\": \"") + StopName(input.stop) + "\"";
  if (!input.peeks.empty()) json += ",\n  \"peek\": " + Peeks(input);
  return json + "\n}\n";
}
