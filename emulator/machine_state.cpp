// Machine state as state-file sections: fixed-size little records, written
// byte by byte so the file reads the same on every host.
#include "emulator/machine_state.h"

#include <algorithm>

namespace {

constexpr uint8_t LAYOUT = 1;  // of the records below

class Writer {
 public:
  void Byte(uint8_t value) { bytes_.push_back(value); }
  void Word(uint16_t value) {
    Byte(static_cast<uint8_t>(value >> 8));
    Byte(static_cast<uint8_t>(value));
  }
  void Long(uint32_t value) {
    Word(static_cast<uint16_t>(value >> 16));
    Word(static_cast<uint16_t>(value));
  }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  uint8_t Byte() { return at_ < bytes_.size() ? bytes_[at_++] : (failed_ = true, 0); }
  uint16_t Word() {
    const uint8_t high = Byte();
    return static_cast<uint16_t>(high << 8 | Byte());
  }
  uint32_t Long() {
    const uint16_t high = Word();
    return static_cast<uint32_t>(high) << 16 | Word();
  }
  bool Whole() const { return !failed_ && at_ == bytes_.size(); }

 private:
  const std::vector<uint8_t>& bytes_;
  size_t at_ = 0;
  bool failed_ = false;
};

void PutSide(Writer& w, const PiaSide& side) {
  for (uint8_t b : {side.Out, side.In, side.Ddr, side.Ctrl}) w.Byte(b);
}
PiaSide GetSide(Reader& r) {
  PiaSide side;
  side.Out = r.Byte();
  side.In = r.Byte();
  side.Ddr = r.Byte();
  side.Ctrl = r.Byte();
  return side;
}

std::vector<uint8_t> DeviceRecord(const Machine& m) {
  Writer w;
  w.Byte(LAYOUT);
  const Cpu& cpu = m.core.cpu;
  w.Byte(cpu.A);
  w.Byte(cpu.B);
  w.Word(cpu.X);
  w.Word(cpu.SP);
  w.Word(cpu.PC);
  w.Byte(cpu.CCR);
  w.Byte(cpu.Opcode);
  w.Byte(m.core.halted);
  PutSide(w, m.pia.A);
  PutSide(w, m.pia.B);
  for (uint8_t b : {m.link.shift, m.link.bitCount, m.link.previousClock, m.link.previousSelect}) w.Byte(b);
  for (uint8_t b : m.cells.cell) w.Byte(b);
  w.Byte(m.cells.dataCounter);
  w.Byte(m.lamps);
  return w.Take();
}

std::vector<uint8_t> ViewRecord(const DeviceView& view) {
  Writer w;
  w.Byte(LAYOUT);
  for (uint8_t digit : view.digits.digit) w.Byte(digit);
  for (bool point : view.digits.point) w.Byte(point);
  w.Byte(view.lamps);
  w.Byte(view.on);
  w.Long(view.beeps);
  w.Byte(static_cast<uint8_t>(view.stop));
  w.Word(view.stopAddress);
  w.Byte(view.stopOpcode);
  return w.Take();
}

bool ReadDevice(const std::vector<uint8_t>& bytes, Machine& m) {
  Reader r(bytes);
  if (r.Byte() != LAYOUT) return false;
  Cpu& cpu = m.core.cpu;
  cpu.A = r.Byte();
  cpu.B = r.Byte();
  cpu.X = r.Word();
  cpu.SP = r.Word();
  cpu.PC = r.Word();
  cpu.CCR = r.Byte();
  cpu.Opcode = r.Byte();
  m.core.halted = r.Byte() != 0;
  m.pia.A = GetSide(r);
  m.pia.B = GetSide(r);
  m.link.shift = r.Byte();
  m.link.bitCount = r.Byte();
  m.link.previousClock = r.Byte();
  m.link.previousSelect = r.Byte();
  for (uint8_t& b : m.cells.cell) b = r.Byte();
  m.cells.dataCounter = r.Byte();
  m.lamps = r.Byte();
  return r.Whole() && m.link.bitCount < 8 && m.cells.dataCounter <= 16;
}

bool ReadView(const std::vector<uint8_t>& bytes, DeviceView& view) {
  Reader r(bytes);
  if (r.Byte() != LAYOUT) return false;
  for (uint8_t& digit : view.digits.digit) digit = r.Byte();
  for (bool& point : view.digits.point) point = r.Byte() != 0;
  view.lamps = r.Byte();
  view.on = r.Byte() != 0;
  view.beeps = r.Long();
  const uint8_t stop = r.Byte();
  view.stop = static_cast<StopReason>(stop);
  view.stopAddress = r.Word();
  view.stopOpcode = r.Byte();
  return r.Whole() && stop <= static_cast<uint8_t>(StopReason::Halted);
}

}  // namespace

uint64_t MachineStateKey(std::span<const uint8_t> image, bool patched) {
  return StateHash(image) ^ (patched ? 0 : 0x9E3779B97F4A7C15ull);
}

std::vector<StateSection> MachineStateSections(const Machine& m) {
  const DeviceView view = MachineView(m);
  return {
      {"memory", std::vector<uint8_t>(m.core.memory.begin(), m.core.memory.end())},
      {"device", DeviceRecord(m)},
      {"view", ViewRecord(view)},
      {"paper", std::vector<uint8_t>(view.paper.begin(), view.paper.end())},
  };
}

// Everything is read into a scratch machine first, so a bad section leaves
// the real one as it was.
bool RestoreMachineState(Machine& m, const std::vector<StateSection>& sections, std::string& error) {
  const StateSection* memory = FindStateSection(sections, "memory");
  const StateSection* device = FindStateSection(sections, "device");
  const StateSection* view = FindStateSection(sections, "view");
  const StateSection* paper = FindStateSection(sections, "paper");
  if (!memory || !device || !view || !paper || memory->bytes.size() != m.core.memory.size()) {
    error = "the saved device is incomplete";
    return false;
  }
  auto scratch = std::make_unique<Machine>();
  DeviceView restored;
  if (!ReadDevice(device->bytes, *scratch) || !ReadView(view->bytes, restored)) {
    error = "the saved device is damaged";
    return false;
  }
  if (restored.stop != StopReason::Running || scratch->core.halted) {
    error = "the saved device had stopped for good";
    return false;
  }
  restored.paper.assign(paper->bytes.begin(), paper->bytes.end());
  std::copy(memory->bytes.begin(), memory->bytes.end(), m.core.memory.begin());
  m.core.cpu = scratch->core.cpu;
  m.core.halted = scratch->core.halted;
  m.pia.A = scratch->pia.A;
  m.pia.B = scratch->pia.B;
  m.link.shift = scratch->link.shift;
  m.link.bitCount = scratch->link.bitCount;
  m.link.previousClock = scratch->link.previousClock;
  m.link.previousSelect = scratch->link.previousSelect;
  m.cells = scratch->cells;
  m.lamps = scratch->lamps;
  m.keys = KeyRows{};
  m.latch = KeyLatch{};
  std::lock_guard lock(m.mutex);
  m.view = m.drained = restored;
  m.events.clear();
  return true;
}

StateFileResult SaveMachineState(const Machine& m, const std::filesystem::path& path, uint64_t key) {
  return SaveStateFile(path, key, MachineStateSections(m));
}

namespace {

StateFileResult Restore(Machine& m, StateFileResult read, const std::vector<StateSection>& sections,
                        const std::string& name) {
  std::string error;
  if (read.ok() && !RestoreMachineState(m, sections, error)) {
    read.status = StateFileStatus::Corrupt;
    read.message = name + ": " + error;
  }
  return read;
}

}  // namespace

StateFileResult LoadMachineState(Machine& m, const std::filesystem::path& path, uint64_t key) {
  std::vector<StateSection> sections;
  StateFileResult read = LoadStateFile(path, key, sections);
  return Restore(m, std::move(read), sections, path.string());
}

std::vector<uint8_t> MachineStateBytes(const Machine& m) {
  return EncodeStateFile(m.stateKey, MachineStateSections(m));
}

StateFileResult RestoreMachineStateBytes(Machine& m, std::span<const uint8_t> bytes) {
  std::vector<StateSection> sections;
  StateFileResult read = DecodeStateFile(bytes, m.stateKey, sections, "the kept device");
  return Restore(m, std::move(read), sections, "the kept device");
}
