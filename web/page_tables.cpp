// Writes the JavaScript module of the device's facts the web page needs,
// taken from the machine's own tables at build time: the commands, events and
// stop reasons of the contract, the keys and lamps of the face, the PC keys
// that work them, and what a digit shows. Run under Node: page_tables <output file>.
// Every enumerator of the contract must have its page name, warnings as
// errors or not.
#pragma GCC diagnostic error "-Wswitch"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "emulator/contract.h"
#include "peripherals/digit_shape.h"
#include "peripherals/display.h"
#include "resources/controls.h"
#include "resources/ids.h"
#include "resources/pc_keys.h"
#include "tools/key_names.h"

namespace {

// The page's names for the contract's enumerators. Each switch names every
// enumerator (the compiler warns of one left out), so the numbers and the
// length of each list follow the contract.
const char* CommandName(CommandKind kind) {
  switch (kind) {
    case CommandKind::KeyDown: return "keyDown";
    case CommandKind::KeyUp: return "keyUp";
    case CommandKind::Power: return "power";
    case CommandKind::New: return "new";
    case CommandKind::PaperFeed: return "paperFeed";
    case CommandKind::ClearPaper: return "clearPaper";
  }
  return nullptr;
}

const char* EventName(EventKind kind) {
  switch (kind) {
    case EventKind::Display: return "display";
    case EventKind::Lamps: return "lamps";
    case EventKind::Beep: return "beep";
    case EventKind::Paper: return "paper";
    case EventKind::PaperCleared: return "paperCleared";
    case EventKind::Power: return "power";
    case EventKind::Stopped: return "stopped";
    case EventKind::LogFailed: return "logFailed";
    case EventKind::StateFailed: return "stateFailed";
  }
  return nullptr;
}

const char* StopName(StopReason reason) {
  switch (reason) {
    case StopReason::Running: return "running";
    case StopReason::Undecoded: return "undecoded";
    case StopReason::Halted: return "halted";
  }
  return nullptr;
}

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "page_tables: %s\n", why.c_str());
  std::exit(1);
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// The names of an enumeration in number order; its numbers must run from 0
// with no gap, as the page indexes them.
template <class Enum>
std::vector<std::string> Names(const char* (*name)(Enum)) {
  std::vector<std::string> names;
  for (int n = 0; n < 256; ++n) {
    const char* found = name(static_cast<Enum>(n));
    if (found && names.size() != static_cast<size_t>(n)) Fail(std::string("the numbers have a gap before ") + found);
    if (found) names.push_back(found);
  }
  return names;
}

std::string List(const std::vector<std::string>& names) {
  std::string out = "[";
  for (const std::string& name : names) out += (out.size() > 1 ? ", " : "") + Quoted(name);
  return out + "]";
}

// The runner's script name of each key of the matrix, from the runner's own
// list of names ("0-9 FA-FN ..." with ranges in the last character).
std::map<int, std::string> ScriptNames() {
  std::map<int, std::string> names;
  std::istringstream words(ValidKeyNames());
  for (std::string word; words >> word;) {
    std::vector<std::string> expanded{word};
    const size_t dash = word.find('-');
    if (dash != std::string::npos && dash > 0 && word.size() == 2 * dash + 1) {
      expanded.clear();
      for (char last = word[dash - 1]; last <= word.back(); ++last) expanded.push_back(word.substr(0, dash - 1) + last);
    }
    for (const std::string& name : expanded) {
      const auto action = ParseKeyName(name);
      if (action && action->kind == ActionKind::Key && name[0] != '#') names[action->controlId] = name;
    }
  }
  return names;
}

std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

std::string Module() {
  std::ostringstream out;
  out << "// The device's facts for the page, written at build time from the machine's\n"
         "// own tables (the contract, the face's controls, the display): not to be\n"
         "// edited by hand.\n\n";

  out << "// The commands a shell sends, by their numbers.\nexport const COMMANDS = Object.freeze({";
  const auto commands = Names(CommandName);
  for (size_t n = 0; n < commands.size(); ++n) out << (n ? ", " : " ") << commands[n] << ": " << n;
  out << " });\n\n";
  out << "// The events and stop reasons, each at its number.\n";
  out << "export const EVENT_KINDS = Object.freeze(" << List(Names(EventName)) << ");\n";
  out << "export const STOP_REASONS = Object.freeze(" << List(Names(StopName)) << ");\n\n";

  const auto scriptNames = ScriptNames();
  out << "// The keys of the matrix: the window's control id, its label, the device key\n"
         "// (row * 8 + column) and the runner's script name.\nexport const KEYS = Object.freeze([\n";
  for (const KeyControl& key : KeyControls) {
    const auto name = scriptNames.find(key.controlId);
    if (name == scriptNames.end()) Fail("the runner has no name for control " + std::to_string(key.controlId));
    out << "  { id: " << key.controlId << ", label: " << Quoted(key.label) << ", key: " << int{key.key}
        << ", name: " << Quoted(name->second) << " },\n";
  }
  out << "].map(Object.freeze));\n\n";

  out << "// The PC keys that work the face, by the name each window maps onto its own\n"
         "// key codes, and the control id each works (PAPER_FEED being the PF button).\n";
  out << "export const PAPER_FEED = " << IDC_PAPER_FEED << ";\nexport const PC_KEYS = Object.freeze([\n";
  for (const PcKey& key : PcKeys) {
    if (key.controlId != IDC_PAPER_FEED && !scriptNames.contains(key.controlId)) {
      Fail(std::string("the PC key ") + key.name + " works no control of the face");
    }
    out << "  { name: " << Quoted(key.name) << ", id: " << key.controlId << " },\n";
  }
  out << "].map(Object.freeze));\n\n";

  out << "// The lamps: the window's control id, the port-2 bit and the name.\nexport const LAMPS = Object.freeze([\n";
  for (const LampControl& lamp : LampControls) {
    out << "  { id: " << lamp.controlId << ", mask: " << Hex(lamp.mask) << ", name: " << Quoted(lamp.name) << " },\n";
  }
  out << "].map(Object.freeze));\n\n";

  out << "// What each digit value lights (values from DIGIT_SEGMENTS.length show\n"
         "// nothing).\nexport const DIGIT_SEGMENTS = Object.freeze([";
  for (size_t n = 0; n < DigitSegments.size(); ++n) out << (n ? ", " : "") << Hex(DigitSegments[n]);
  out << "]);\n\n";
  out << "// Characters the document name, header and footer may hold.\n";
  out << "export const TEXT_MAX = " << SETTINGS_TEXT_MAX << ";\n\n";
  out << "// A digit's box as the windows draw it, and its segments' outlines there,\n"
         "// in painting order: the bit, then the corners.\n";
  constexpr int DIGIT_WIDTH = 38, DIGIT_HEIGHT = 65;
  out << "export const DIGIT_BOX = Object.freeze({ width: " << DIGIT_WIDTH << ", height: " << DIGIT_HEIGHT << " });\n";
  out << "export const DIGIT_OUTLINES = Object.freeze([\n";
  for (const SegmentShape& shape : DigitShapes(DIGIT_WIDTH, DIGIT_HEIGHT)) {
    out << "  [" << Hex(shape.segment) << ", [";
    for (int n = 0; n < shape.count; ++n)
      out << (n ? ", " : "") << "[" << shape.corners[n].x << ", " << shape.corners[n].y << "]";
    out << "]],\n";
  }
  out << "]);\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: page_tables <output file>\n");
    return 2;
  }
  const std::string text = Module();
  FILE* file = std::fopen(argv[1], "wb");
  if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0) {
    std::fprintf(stderr, "page_tables: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
