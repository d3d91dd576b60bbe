// The device's snapshot: one list of fields serves both directions, written
// little-endian after a magic, the layout's version and the firmware's
// checksum. A snapshot is read whole into a plain record and checked before
// anything of the machine changes.
#include "web/snapshot.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

namespace {

constexpr std::array<uint8_t, 4> MAGIC{'T', 'M', '6', '5'};
constexpr size_t HEADER_SIZE = MAGIC.size() + 2 + 4;
constexpr size_t RAM_SIZE = FIRMWARE_BASE;  // everything below the firmware

// Everything of the machine a snapshot holds, as plain values.
struct DeviceState {
  Cpu cpu;
  bool halted = false;
  PiaSide sideA, sideB;
  KeyRows keys;
  KeyLatch latch;
  uint8_t linkShift = 0, linkBits = 0, linkClock = 0, linkSelect = 0;
  DisplayCells cells;
  uint8_t lamps = 0;
  DigitState digits;
  uint8_t viewLamps = 0;
  bool on = true;
  uint32_t beeps = 0;
  StopReason stop = StopReason::Running;
  uint16_t stopAddress = 0;
  uint8_t stopOpcode = 0;
  std::array<uint8_t, RAM_SIZE> ram{};
};

template <typename State, typename Visit>
void VisitFields(State& s, Visit& visit) {
  visit(s.cpu.A), visit(s.cpu.B), visit(s.cpu.X), visit(s.cpu.SP), visit(s.cpu.PC);
  visit(s.cpu.CCR), visit(s.cpu.Opcode), visit(s.halted);
  for (auto* side : {&s.sideA, &s.sideB}) visit(side->Out), visit(side->In), visit(side->Ddr), visit(side->Ctrl);
  for (auto& row : s.keys.row) visit(row);
  visit(s.latch.phase), visit(s.latch.key), visit(s.latch.letGo);
  visit(s.linkShift), visit(s.linkBits), visit(s.linkClock), visit(s.linkSelect);
  for (auto& cell : s.cells.cell) visit(cell);
  visit(s.cells.dataCounter), visit(s.lamps);
  for (auto& digit : s.digits.digit) visit(digit);
  for (auto& point : s.digits.point) visit(point);
  visit(s.viewLamps), visit(s.on), visit(s.beeps), visit(s.stop), visit(s.stopAddress), visit(s.stopOpcode);
  visit(std::span(s.ram));
}

struct Writer {
  std::vector<uint8_t> bytes;
  void operator()(uint8_t v) { bytes.push_back(v); }
  void operator()(bool v) { bytes.push_back(v ? 1 : 0); }
  void operator()(uint16_t v) { (*this)(static_cast<uint8_t>(v)), (*this)(static_cast<uint8_t>(v >> 8)); }
  void operator()(uint32_t v) { (*this)(static_cast<uint16_t>(v)), (*this)(static_cast<uint16_t>(v >> 16)); }
  void operator()(LatchPhase v) { (*this)(static_cast<uint8_t>(v)); }
  void operator()(StopReason v) { (*this)(static_cast<uint8_t>(v)); }
  void operator()(std::span<const uint8_t> block) { bytes.insert(bytes.end(), block.begin(), block.end()); }
};

// The size is checked before reading starts; a value out of its range marks
// the snapshot damaged.
struct Reader {
  std::span<const uint8_t> bytes;
  size_t at = 0;
  bool damaged = false;

  uint8_t Take() { return bytes[at++]; }
  uint8_t TakeAtMost(uint8_t last) {
    const uint8_t v = Take();
    damaged |= v > last;
    return v;
  }
  void operator()(uint8_t& v) { v = Take(); }
  void operator()(bool& v) { v = TakeAtMost(1) != 0; }
  void operator()(uint16_t& v) {
    const uint8_t low = Take();
    v = static_cast<uint16_t>(low | Take() << 8);
  }
  void operator()(uint32_t& v) {
    uint16_t low = 0, high = 0;
    (*this)(low), (*this)(high);
    v = low | static_cast<uint32_t>(high) << 16;
  }
  void operator()(LatchPhase& v) { v = static_cast<LatchPhase>(TakeAtMost(static_cast<uint8_t>(LatchPhase::Released))); }
  void operator()(StopReason& v) { v = static_cast<StopReason>(TakeAtMost(static_cast<uint8_t>(StopReason::Halted))); }
  void operator()(std::span<uint8_t> block) {
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), block.size(), block.begin());
    at += block.size();
  }
};

uint32_t FirmwareChecksum(const Machine& m) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (size_t a = FIRMWARE_BASE; a < m.core.memory.size(); ++a) hash = (hash ^ m.core.memory[a]) * 16777619u;
  return hash;
}

DeviceState Capture(const Machine& m) {
  DeviceState s;
  s.cpu = m.core.cpu;
  s.halted = m.core.halted;
  s.sideA = m.pia.A;
  s.sideB = m.pia.B;
  s.keys = m.keys;
  s.latch = m.latch;
  s.linkShift = m.link.shift, s.linkBits = m.link.bitCount;
  s.linkClock = m.link.previousClock, s.linkSelect = m.link.previousSelect;
  s.cells = m.cells;
  s.lamps = m.lamps;
  const DeviceView view = MachineView(m);
  s.digits = view.digits;
  s.viewLamps = view.lamps;
  s.on = view.on;
  s.beeps = view.beeps;
  s.stop = view.stop, s.stopAddress = view.stopAddress, s.stopOpcode = view.stopOpcode;
  std::copy_n(m.core.memory.begin(), RAM_SIZE, s.ram.begin());
  return s;
}

// Commands and events still queued belong to the device that was replaced.
void Apply(const DeviceState& s, Machine& m) {
  m.core.cpu = s.cpu;
  m.core.halted = s.halted;
  m.pia.A = s.sideA;
  m.pia.B = s.sideB;
  m.keys = s.keys;
  m.latch = s.latch;
  m.link.shift = s.linkShift, m.link.bitCount = s.linkBits;
  m.link.previousClock = s.linkClock, m.link.previousSelect = s.linkSelect;
  m.cells = s.cells;
  m.lamps = s.lamps;
  std::copy(s.ram.begin(), s.ram.end(), m.core.memory.begin());
  std::lock_guard lock(m.mutex);
  m.view = DeviceView{};
  m.view.digits = s.digits;
  m.view.lamps = s.viewLamps;
  m.view.on = s.on;
  m.view.beeps = s.beeps;
  m.view.stop = s.stop, m.view.stopAddress = s.stopAddress, m.view.stopOpcode = s.stopOpcode;
  m.drained = m.view;
  m.events.clear();
  m.commands.clear();
  m.serveNow.store(false);
}

void WriteHeader(Writer& out, uint32_t checksum) {
  out(std::span<const uint8_t>(MAGIC));
  out(SNAPSHOT_VERSION);
  out(checksum);
}

size_t SnapshotSize() {
  static const size_t size = [] {
    Writer out;
    const DeviceState empty;
    VisitFields(empty, out);
    return HEADER_SIZE + out.bytes.size();
  }();
  return size;
}

}  // namespace

std::vector<uint8_t> SaveSnapshot(const Machine& machine) {
  Writer out;
  out.bytes.reserve(SnapshotSize());
  WriteHeader(out, FirmwareChecksum(machine));
  const DeviceState state = Capture(machine);
  VisitFields(state, out);
  return std::move(out.bytes);
}

SnapshotError LoadSnapshot(Machine& machine, std::span<const uint8_t> bytes) {
  if (bytes.size() < HEADER_SIZE || !std::equal(MAGIC.begin(), MAGIC.end(), bytes.begin()))
    return SnapshotError::NotASnapshot;
  Reader in{bytes, MAGIC.size()};
  uint16_t version = 0;
  uint32_t checksum = 0;
  in(version), in(checksum);
  if (version != SNAPSHOT_VERSION) return SnapshotError::OtherVersion;
  if (bytes.size() != SnapshotSize()) return SnapshotError::NotASnapshot;
  if (checksum != FirmwareChecksum(machine)) return SnapshotError::OtherFirmware;
  auto state = std::make_unique<DeviceState>();
  VisitFields(*state, in);
  if (in.damaged) return SnapshotError::Damaged;
  Apply(*state, machine);
  return SnapshotError::None;
}

const char* SnapshotErrorText(SnapshotError error) {
  switch (error) {
    case SnapshotError::None: return "";
    case SnapshotError::NotASnapshot: return "it is not a saved device";
    case SnapshotError::OtherVersion: return "it was saved by another version of TM650E";
    case SnapshotError::OtherFirmware: return "it was saved with another firmware";
    case SnapshotError::Damaged: return "it is damaged";
  }
  return "";
}
