// The settings record kept as registry values: numbers as DWORDs, texts as
// UTF-16 strings (UTF-8 in the record).
#include "win32/registry_settings.h"

#include <windows.h>

#include <cstdint>

#include "win32/utf8.h"

namespace {

struct NumberValue {
  const wchar_t* name;
  int32_t Settings::*field;
};
struct TextValue {
  const wchar_t* name;
  std::string Settings::*field;
};

constexpr NumberValue Numbers[] = {
    {L"Sound", &Settings::Sound},           {L"Height", &Settings::Height},
    {L"Weight", &Settings::Weight},         {L"PointSize", &Settings::PointSize},
    {L"MarginLeft", &Settings::MarginLeft}, {L"MarginRight", &Settings::MarginRight},
    {L"MarginTop", &Settings::MarginTop},   {L"MarginBottom", &Settings::MarginBottom},
};
constexpr TextValue Texts[] = {
    {L"Font", &Settings::Font}, {L"DocName", &Settings::DocName},
    {L"Header", &Settings::Header}, {L"Footer", &Settings::Footer},
};

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
  for (const NumberValue& number : Numbers) ReadNumber(key, number.name, settings.*number.field);
  for (const TextValue& text : Texts) ReadText(key, text.name, settings.*text.field);
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
  for (const NumberValue& number : Numbers) {
    const DWORD data = static_cast<DWORD>(settings.*number.field);
    if (status == ERROR_SUCCESS)
      status = RegSetValueExW(key, number.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
  }
  for (const TextValue& text : Texts) {
    const std::wstring data = FromUtf8(settings.*text.field);
    if (status == ERROR_SUCCESS)
      status = RegSetValueExW(key, text.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  }
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
