// Runs the m68hc11 assembler, linker and objcopy in a scratch folder and
// reads back the flat binary. Tool paths come from the build.
#include "tests/support/assemble.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/scratch.h"

#ifdef _WIN32
#include <windows.h>

namespace {

// Under Wine the tools are the build machine's own programs, reached through
// its shell. Wine starts them without waiting, so the shell's last act is to
// rename its exit status into place, and the folder's change notice wakes us.
std::string HostPath(const std::filesystem::path& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!unixName) throw std::runtime_error("Assemble needs Wine: the assembler is the build machine's");
  char* name = unixName(path.c_str());
  if (!name) throw std::runtime_error("no host path for " + path.string());
  std::string host = name;
  HeapFree(GetProcessHeap(), 0, name);
  return host;
}

int RunHostShell(const std::string& command, const std::filesystem::path& folder) {
  const std::filesystem::path status = folder / "status";
  const std::string script = command + "; echo $? > '" + HostPath(folder) + "/status.part' && mv '" +
                             HostPath(folder) + "/status.part' '" + HostPath(folder) + "/status'";
  std::wstring line = L"sh -c \"" + std::filesystem::path(script).wstring() + L"\"";
  HANDLE change = FindFirstChangeNotificationW(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  if (change == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot watch " + folder.string());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    FindCloseChangeNotification(change);
    throw std::runtime_error("cannot start the host shell");
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  while (!std::filesystem::exists(status)) {
    if (WaitForSingleObject(change, 60000) != WAIT_OBJECT_0) break;
    FindNextChangeNotification(change);
  }
  FindCloseChangeNotification(change);
  const std::string code = Slurp(status);
  return code.empty() ? -1 : std::atoi(code.c_str());
}

}  // namespace
#endif

std::vector<uint8_t> Assemble(const std::string& source, uint16_t origin) {
  ScratchDir dir;
#ifdef _WIN32
  const auto file = [&](const char* name) { return " '" + HostPath(dir / name) + "'"; };
#else
  const auto file = [&](const char* name) { return " '" + (dir / name).string() + "'"; };
#endif
  char script[160];
  std::snprintf(script, sizeof script,
                "SECTIONS { . = 0x%04X; .text : { *(.text) *(.data) } /DISCARD/ : { *(*) } }\n", origin);
  Spill(dir / "program.s", "\t.text\n" + source + "\n");
  Spill(dir / "program.ld", script);
  // One shell line; the first tool to fail stops it, its messages in the log.
  const std::string command = "(" + std::string(TM650_M68HC11_AS) + " -o" + file("program.o") + file("program.s") +
                              " && " + TM650_M68HC11_LD + " -T" + file("program.ld") + " -o" + file("program.elf") +
                              file("program.o") + " && " + TM650_M68HC11_OBJCOPY + " -O binary -j .text" +
                              file("program.elf") + file("program.bin") + ") >" + file("tool.log") + " 2>&1";
#ifdef _WIN32
  const int status = RunHostShell(command, dir.path);
#else
  const int status = std::system(command.c_str());
#endif
  if (status != 0) throw std::runtime_error("Assemble failed:\n" + Slurp(dir / "tool.log"));
  const std::string bytes = Slurp(dir / "program.bin");
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}
