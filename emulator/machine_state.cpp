// Machine state as state-file sections: little records, each the sum of
// what its devices declare, written byte by byte (words high byte first) so
// the file reads the same on every host. Each record opens with its layout
// number: a record of another layout is another version, not damage.
#include "emulator/machine_state.h"

#include <algorithm>
#include <memory>
#include <type_traits>

namespace {

// The layouts of the records below; one changes whenever its record does.
constexpr uint8_t DEVICE_LAYOUT = 1;
constexpr uint8_t VIEW_LAYOUT = 1;
constexpr uint8_t PRINTER_LAYOUT = 1;

// Mark of a state made without the firmware patches.
constexpr uint64_t UNPATCHED_MARK = 0x9E3779B97F4A7C15ull;

class RecordWriter {
 public:
  template <class... T>
  void operator()(const T&... fields) {
    (Put(fields), ...);
  }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  void Put(uint8_t value) { bytes_.push_back(value); }
  void Put(bool value) { Put(static_cast<uint8_t>(value)); }
  void Put(uint16_t value) {
    Put(static_cast<uint8_t>(value >> 8));
    Put(static_cast<uint8_t>(value));
  }
  void Put(uint32_t value) {
    Put(static_cast<uint16_t>(value >> 16));
    Put(static_cast<uint16_t>(value));
  }
  template <class E>
    requires std::is_enum_v<E>
  void Put(E value) {
    Put(static_cast<std::underlying_type_t<E>>(value));
  }
  template <class T, size_t N>
  void Put(const std::array<T, N>& values) {
    for (const T& value : values) Put(value);
  }

  std::vector<uint8_t> bytes_;
};

class RecordReader {
 public:
  explicit RecordReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  template <class... T>
  void operator()(T&... fields) {
    (Get(fields), ...);
  }
  bool Whole() const { return !failed_ && at_ == bytes_.size(); }

 private:
  void Get(uint8_t& value) { value = at_ < bytes_.size() ? bytes_[at_++] : (failed_ = true, 0); }
  void Get(bool& value) {
    uint8_t byte = 0;
    Get(byte);
    failed_ |= byte > 1;
    value = byte != 0;
  }
  void Get(uint16_t& value) {
    uint8_t high = 0, low = 0;
    Get(high);
    Get(low);
    value = static_cast<uint16_t>(high << 8 | low);
  }
  void Get(uint32_t& value) {
    uint16_t high = 0, low = 0;
    Get(high);
    Get(low);
    value = static_cast<uint32_t>(high) << 16 | low;
  }
  template <class E>
    requires std::is_enum_v<E>
  void Get(E& value) {
    std::underlying_type_t<E> raw{};
    Get(raw);
    value = static_cast<E>(raw);
  }
  template <class T, size_t N>
  void Get(std::array<T, N>& values) {
    for (T& value : values) Get(value);
  }

  const std::vector<uint8_t>& bytes_;
  size_t at_ = 0;
  bool failed_ = false;
};

// The processor as the device record keeps it.
template <class Io, class C>
void CoreState(Io& io, C& core) {
  io(core.cpu.A, core.cpu.B, core.cpu.X, core.cpu.SP, core.cpu.PC, core.cpu.CCR, core.cpu.Opcode, core.halted);
}

// Every device behind the processor, in the order the first layout set.
template <class Io, class M>
void DeviceState(Io& io, M& m) {
  CoreState(io, m.core);
  PiaState(io, m.pia);
  DisplayLinkState(io, m.link);
  DisplayCellsState(io, m.cells);
  io(m.lamps);
}

template <class Io, class V>
void ViewState(Io& io, V& view) {
  io(view.digits.digit, view.digits.point, view.lamps, view.on, view.beeps, view.stop, view.stopAddress,
     view.stopOpcode);
}

template <class Declare>
std::vector<uint8_t> Record(uint8_t layout, Declare declare) {
  RecordWriter writer;
  writer(layout);
  declare(writer);
  return writer.Take();
}

enum class Read { Whole, OtherLayout, Damaged };

struct ReadResult {
  Read read = Read::Whole;
  uint8_t layout = 0;    // the record's, when another
  uint8_t expected = 0;  // the one this program reads
};

template <class Declare>
ReadResult ReadRecord(const std::vector<uint8_t>& bytes, uint8_t layout, Declare declare) {
  if (!bytes.empty() && bytes[0] != layout) return {Read::OtherLayout, bytes[0], layout};
  RecordReader reader(bytes);
  uint8_t ignored = 0;
  reader(ignored);
  declare(reader);
  return {reader.Whole() ? Read::Whole : Read::Damaged};
}

std::vector<uint8_t> DeviceRecord(const MachineParts& m) {
  return Record(DEVICE_LAYOUT, [&](RecordWriter& w) { DeviceState(w, m); });
}
std::vector<uint8_t> PrinterRecord(const PrinterPort& port) {
  return Record(PRINTER_LAYOUT, [&](RecordWriter& w) { PrinterPortState(w, port); });
}
std::vector<uint8_t> ViewRecord(const DeviceView& view) {
  return Record(VIEW_LAYOUT, [&](RecordWriter& w) { ViewState(w, view); });
}

ReadResult ReadDevice(const std::vector<uint8_t>& bytes, MachineParts& m) {
  ReadResult result = ReadRecord(bytes, DEVICE_LAYOUT, [&](RecordReader& r) { DeviceState(r, m); });
  if (result.read == Read::Whole && !(DisplayLinkValid(m.link) && DisplayCellsValid(m.cells)))
    result.read = Read::Damaged;
  return result;
}

ReadResult ReadPrinter(const std::vector<uint8_t>& bytes, PrinterPort& port) {
  ReadResult result = ReadRecord(bytes, PRINTER_LAYOUT, [&](RecordReader& r) { PrinterPortState(r, port); });
  if (result.read == Read::Whole && !PrinterPortValid(port)) result.read = Read::Damaged;
  return result;
}

ReadResult ReadView(const std::vector<uint8_t>& bytes, DeviceView& view) {
  ReadResult result = ReadRecord(bytes, VIEW_LAYOUT, [&](RecordReader& r) { ViewState(r, view); });
  if (result.read == Read::Whole && view.stop > StopReason::Halted) result.read = Read::Damaged;
  return result;
}

StateFileResult Refused(StateFileStatus status, const std::string& name, const std::string& why) {
  return {status, name + ": " + why};
}

// The first record that is not whole names the fault.
StateFileResult Judge(std::initializer_list<std::pair<const char*, ReadResult>> reads, const std::string& name) {
  for (const auto& [record, result] : reads) {
    if (result.read == Read::OtherLayout)
      return Refused(StateFileStatus::OtherVersion, name,
                     std::string("kept by another version (") + record + " record layout " +
                         std::to_string(result.layout) + ", this program reads " + std::to_string(result.expected) + ")");
    if (result.read == Read::Damaged) return Refused(StateFileStatus::Corrupt, name, "the saved device is damaged");
  }
  return {};
}

// A file kept before the printer had a record of its own leaves it at rest.
ReadResult ReadPrinterSection(const StateSection* section, PrinterPort& port) {
  if (section == nullptr) return ReadPrinter(PrinterRecord(PrinterPort{}), port);
  return ReadPrinter(section->bytes, port);
}

}  // namespace

uint64_t MachineStateKey(std::span<const uint8_t> image, bool patched) {
  return StateHash(image) ^ (patched ? 0 : UNPATCHED_MARK);
}

std::vector<StateSection> MachineStateSections(const Machine& m) {
  const DeviceView view = MachineView(m);
  return {
      {"memory", std::vector<uint8_t>(m.core.memory.begin(), m.core.memory.end())},
      {"device", DeviceRecord(m)},
      {"view", ViewRecord(view)},
      {"paper", std::vector<uint8_t>(view.paper.begin(), view.paper.end())},
      {"printer", PrinterRecord(m.printer)},
  };
}

// Everything is read into a scratch machine first, so a bad section leaves
// the real one as it was; the records are then read again, into it.
StateFileResult RestoreMachineSections(Machine& m, const std::vector<StateSection>& sections, const std::string& name) {
  const StateSection* memory = FindStateSection(sections, "memory");
  const StateSection* device = FindStateSection(sections, "device");
  const StateSection* view = FindStateSection(sections, "view");
  const StateSection* paper = FindStateSection(sections, "paper");
  const StateSection* printer = FindStateSection(sections, "printer");
  if (!memory || !device || !view || !paper || memory->bytes.size() != m.core.memory.size())
    return Refused(StateFileStatus::Corrupt, name, "the saved device is incomplete");
  auto scratch = std::make_unique<Machine>();
  DeviceView restored;
  const StateFileResult judged = Judge({{"device", ReadDevice(device->bytes, *scratch)},
                                        {"view", ReadView(view->bytes, restored)},
                                        {"printer", ReadPrinterSection(printer, scratch->printer)}},
                                       name);
  if (!judged.ok()) return judged;
  if (restored.stop != StopReason::Running || scratch->core.halted)
    return Refused(StateFileStatus::Corrupt, name, "the saved device had stopped for good");
  restored.paper.assign(paper->bytes.begin(), paper->bytes.end());
  std::copy(memory->bytes.begin(), memory->bytes.end(), m.core.memory.begin());
  ReadDevice(device->bytes, m);
  ReadPrinterSection(printer, m.printer);
  m.keys = KeyRows{};
  m.latch = KeyLatch{};
  std::lock_guard lock(m.mutex);
  m.view = m.drained = restored;
  m.events.clear();
  return {};
}

StateFileResult SaveMachineState(const Machine& m, const std::filesystem::path& path) {
  return SaveStateFile(path, MachineKey(m), MachineStateSections(m));
}

namespace {

// A state of this firmware run the other way round is named as such: the
// patches it carries in its memory would be wrong for this run.
StateFileResult Refusal(bool patched, uint64_t key, StateFileResult read, const std::string& name) {
  if (read.status == StateFileStatus::OtherFirmware && read.firmware == (key ^ UNPATCHED_MARK))
    return Refused(StateFileStatus::OtherPatching, name,
                   patched ? "made by an unpatched run of this firmware; this run is patched"
                           : "made by a patched run of this firmware; this run is unpatched");
  return read;
}

}  // namespace

StateFileResult LoadMachineState(Machine& m, const std::filesystem::path& path) {
  std::vector<StateSection> sections;
  const StateFileResult read = Refusal(m.patched, m.stateKey, LoadStateFile(path, m.stateKey, sections), path.string());
  return read.ok() ? RestoreMachineSections(m, sections, path.string()) : read;
}

std::vector<uint8_t> MachineStateBytes(const Machine& m) {
  return EncodeStateFile(m.stateKey, MachineStateSections(m));
}

StateFileResult RestoreMachineStateBytes(Machine& m, std::span<const uint8_t> bytes) {
  std::vector<StateSection> sections;
  const std::string name = "the kept device";
  const StateFileResult read = Refusal(m.patched, m.stateKey, DecodeStateFile(bytes, m.stateKey, sections, name), name);
  return read.ok() ? RestoreMachineSections(m, sections, name) : read;
}
