// The settings record kept as registry values: numbers as DWORDs, texts as
// UTF-16 strings (UTF-8 in the record).
#include "win32/registry_settings.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "win32/utf8.h"

namespace {

std::wstring Wide(const char* name) { return FromUtf8(name); }

bool ReadNumber(HKEY key, const wchar_t* name, int32_t& value) {
  DWORD type = 0, data = 0, size = sizeof data;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return false;
  value = static_cast<int32_t>(data);
  return true;
}

bool ReadText(HKEY key, const wchar_t* name, std::string& value) {
  wchar_t data[SETTINGS_TEXT_MAX + 1] = {};
  DWORD type = 0, size = sizeof data - sizeof(wchar_t);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  value = ToUtf8(data);
  return true;
}

std::wstring Reason(LONG code) {
  wchar_t text[256] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(code), 0,
                 text, 256, nullptr);
  return text;
}

}  // namespace

void LoadSettings(Settings& settings) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, REGISTRY_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (const SettingRow& row : SETTINGS) {
    if (row.number && !ReadNumber(key, Wide(row.name).c_str(), settings.*row.number))
      settings.*row.number = row.missingNumber;
    if (row.text && !ReadText(key, Wide(row.name).c_str(), settings.*row.text)) settings.*row.text = row.missingText;
  }
  int32_t version = 1;
  ReadNumber(key, Wide(SETTINGS_VERSION_KEY).c_str(), version);
  if (version < SETTINGS_VERSION) {
    int32_t ignored = 0;
    ReadOldMarginUnits(settings, [&](const char* name) { return ReadNumber(key, Wide(name).c_str(), ignored); });
  }
  RegCloseKey(key);
  ClampSettings(settings);
}

bool SaveSettings(const Settings& record, std::wstring& why) {
  Settings settings = record;
  ClampSettings(settings);
  HKEY key;
  LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, REGISTRY_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) {
    why = Reason(status);
    return false;
  }
  for (const SettingRow& row : SETTINGS) {
    const std::wstring name = Wide(row.name);
    if (row.number && status == ERROR_SUCCESS) {
      const DWORD data = static_cast<DWORD>(settings.*row.number);
      status = RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    }
    if (row.text && status == ERROR_SUCCESS) {
      const std::wstring data = FromUtf8(settings.*row.text);
      status = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    }
  }
  const DWORD version = SETTINGS_VERSION;
  if (status == ERROR_SUCCESS)
    status = RegSetValueExW(key, Wide(SETTINGS_VERSION_KEY).c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&version), sizeof version);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) why = Reason(status);
  return status == ERROR_SUCCESS;
}

bool ReadFlag(const wchar_t* name, bool missing) {
  DWORD data = missing, size = sizeof data;
  if (RegGetValueW(HKEY_CURRENT_USER, REGISTRY_KEY, name, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS)
    return missing;
  return data != 0;
}

void WriteFlag(const wchar_t* name, bool value) {
  const DWORD data = value;
  RegSetKeyValueW(HKEY_CURRENT_USER, REGISTRY_KEY, name, REG_DWORD, &data, sizeof data);
}
