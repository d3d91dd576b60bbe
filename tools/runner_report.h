// The runner's JSON report: the face as the machine's own view has it, the
// registers, where the run stopped and the memory asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/machine.h"
#include "tools/runner_driver.h"
#include "tools/runner_options.h"

struct ReportInput {
  DeviceView view;
  Cpu cpu;
  uint64_t instructions;
  Stop stop;
  std::vector<std::pair<uint16_t, std::vector<uint8_t>>> peeks;  // address, bytes
};

// What the report needs of a machine that has stopped running.
ReportInput GatherReport(const Machine& machine, const Driver& driver, Stop stop, const std::vector<Peek>& peeks);

// The report's text, fields in a fixed order.
std::string ReportJson(const ReportInput& input);
