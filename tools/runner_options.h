// tm650-run's command line: the options, their checks, the help text, and the
// file names given on it, which are UTF-8 on every system (on Windows the
// wide command line is converted).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/key_names.h"

struct Peek {
  uint16_t address;
  uint16_t length;  // bytes less one
};

struct Options {
  std::string rom;  // file and folder names as UTF-8, empty when not given
  std::vector<KeyAction> keys;
  uint64_t hold = 20000;
  uint64_t settle = 20000000;
  uint64_t instructions = 2000000000;
  bool unpatched = false;
  std::string captureDir;
  bool portTrace = false;
  std::string trace;
  std::string report;
  std::string state;
  std::vector<Peek> peeks;
  bool help = false;
};

// The text --help prints.
std::string HelpText();

// The program's arguments as UTF-8, argv[0] left out.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Reads and checks the options; returns an empty string on success, else the
// message for the user.
std::string ParseOptions(const std::vector<std::string>& arguments, Options& options);

// A bad argument as an error line quotes it: never more than its start.
std::string Quote(const std::string& text);

// A UTF-8 name as a path the system opens.
std::filesystem::path PathOf(const std::string& name);
