// UTF-8 (the settings record, the help book, the core's messages) to and
// from the UTF-16 the wide Windows calls take.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring FromUtf8(const std::string& text) {
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                      static_cast<int>(wide.size()));
  return wide;
}

inline std::string ToUtf8(const std::wstring& wide) {
  std::string text(
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                      static_cast<int>(text.size()), nullptr, nullptr);
  return text;
}
