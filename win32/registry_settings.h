// The user's choices in the registry, HKCU\Software\Fernhill\TM650E: read
// once before the window opens, written once after it has closed, each
// value on its own. A missing value or one of the wrong type keeps the
// record's; numbers are brought into range both ways.
#pragma once

#include <string>

#include "app/settings.h"

constexpr const wchar_t* REGISTRY_KEY = L"Software\\Fernhill\\TM650E";

void LoadSettings(Settings& settings);
// False, with why, when the key cannot be written.
bool SaveSettings(const Settings& settings, std::wstring& why);

// A yes/no value of the same key (File > Keep Device Between Runs).
bool ReadFlag(const wchar_t* name, bool missing);
void WriteFlag(const wchar_t* name, bool value);
