// The machine for the web page's Worker: plain C functions over the
// machine's seam. Commands go in by their numbers in CommandKind; events come
// out packed in a byte record that web/site/machine_worker.js reads, each a
// kind (its number in EventKind) and then (the page has the numbers from
// page_tables, which takes them from the contract):
//   Display   four digit values, the points as bits 0-3, then the shown
//             text as a length and its bytes (ShownText)
//   Lamps     the port-2 byte
//   Paper     a 32-bit length, then the text's bytes (LogFailed and
//             StateFailed the same)
//   Power     1 on, 0 off
//   Stopped   the reason, the address (16 bits), the opcode
//   Beep and PaperCleared carry nothing more.
// Numbers are little-endian.
#include <emscripten/emscripten.h>

#include <vector>

#include "app/startup.h"
#include "emulator/machine.h"
#include "emulator/machine_state.h"

namespace {

Machine* device = nullptr;      // one device for the Worker's life
std::vector<uint8_t> record;    // the last record handed out
std::vector<uint8_t> incoming;  // a kept device handed in
std::string restoreError;       // why the last one could not be restored

void Put(uint8_t byte) { record.push_back(byte); }

void Put16(uint16_t value) {
  Put(static_cast<uint8_t>(value));
  Put(static_cast<uint8_t>(value >> 8));
}

void PutText(const std::string& text) {
  const auto length = static_cast<uint32_t>(text.size());
  Put16(static_cast<uint16_t>(length));
  Put16(static_cast<uint16_t>(length >> 16));
  record.insert(record.end(), text.begin(), text.end());
}

void PutEvent(const Event& event) {
  Put(static_cast<uint8_t>(event.kind));
  switch (event.kind) {
    case EventKind::Display: {
      uint8_t points = 0;
      for (size_t i = 0; i < 4; ++i) {
        Put(event.digits.digit[i]);
        if (event.digits.point[i]) points |= static_cast<uint8_t>(1u << i);
      }
      Put(points);
      PutText(ShownText(event.digits));
      break;
    }
    case EventKind::Lamps: Put(event.lamps); break;
    case EventKind::Paper:
    case EventKind::LogFailed:
    case EventKind::StateFailed: PutText(event.text); break;
    case EventKind::Power: Put(event.on ? 1 : 0); break;
    case EventKind::Stopped:
      Put(static_cast<uint8_t>(event.stop));
      Put16(event.stopAddress);
      Put(event.stopOpcode);
      break;
    case EventKind::Beep:
    case EventKind::PaperCleared: break;
  }
}

uint32_t PutEvents(const std::vector<Event>& events) {
  record.clear();
  for (const Event& event : events) PutEvent(event);
  return static_cast<uint32_t>(record.size());
}

Event ViewEvent(EventKind kind, const DeviceView& view) {
  Event event;
  event.kind = kind;
  event.digits = view.digits;
  event.lamps = view.lamps;
  event.on = view.on;
  event.stop = view.stop;
  event.stopAddress = view.stopAddress;
  event.stopOpcode = view.stopOpcode;
  return event;
}

}  // namespace

extern "C" {

// Brings the device up from its reset entry: 0, or -1 when no firmware is
// built in.
EMSCRIPTEN_KEEPALIVE int tm_init() {
  const auto image = BuiltinFirmware();
  if (image.empty()) return -1;
  if (!device) device = new Machine;
  MachineInit(*device, {image});
  return 0;
}

EMSCRIPTEN_KEEPALIVE void tm_send(int kind, int key) {
  MachineSend(*device, Command{static_cast<CommandKind>(kind), static_cast<uint8_t>(key)});
}

EMSCRIPTEN_KEEPALIVE void tm_serve() { ServeCommands(*device); }
EMSCRIPTEN_KEEPALIVE uint32_t tm_run_slice(uint32_t budget) { return RunSlice(*device, budget); }
EMSCRIPTEN_KEEPALIVE int tm_idle() { return MachineIdle(*device) ? 1 : 0; }
// Idle with no key held: the device waits for the next key.
EMSCRIPTEN_KEEPALIVE int tm_keys_idle() { return KeysIdle(*device) ? 1 : 0; }

// The events since the last drain, packed; returns the record's size.
EMSCRIPTEN_KEEPALIVE uint32_t tm_drain() {
  std::vector<Event> events;
  MachineDrain(*device, events);
  return PutEvents(events);
}

// The view as the events that bring a blank face up to it (the paper aside).
EMSCRIPTEN_KEEPALIVE uint32_t tm_view() {
  const DeviceView view = MachineView(*device);
  std::vector<Event> events{ViewEvent(EventKind::Display, view), ViewEvent(EventKind::Lamps, view),
                            ViewEvent(EventKind::Power, view)};
  if (view.stop != StopReason::Running) events.push_back(ViewEvent(EventKind::Stopped, view));
  return PutEvents(events);
}

EMSCRIPTEN_KEEPALIVE uint32_t tm_snapshot() {
  record = MachineStateBytes(*device);
  return static_cast<uint32_t>(record.size());
}

EMSCRIPTEN_KEEPALIVE const uint8_t* tm_record() { return record.data(); }

// Room for a snapshot of `size` bytes, which tm_restore then loads.
EMSCRIPTEN_KEEPALIVE uint8_t* tm_input(uint32_t size) {
  incoming.assign(size, 0);
  return incoming.data();
}

// 0 when the device now is the one saved; otherwise the machine is as it
// was and tm_error_text says why.
EMSCRIPTEN_KEEPALIVE int tm_restore() {
  const StateFileResult result = RestoreMachineStateBytes(*device, incoming);
  restoreError = result.message;
  return result.ok() ? 0 : static_cast<int>(result.status);
}

EMSCRIPTEN_KEEPALIVE const char* tm_error_text(int) { return restoreError.c_str(); }

}  // extern "C"
