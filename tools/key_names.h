// Names of the keys and buttons a script can press, for the headless runner.
#pragma once

#include <optional>
#include <string>

enum class ActionKind { Key, Power, New, PaperFeed };

struct KeyAction {
  ActionKind kind;
  int controlId;  // for Key
};

std::optional<KeyAction> ParseKeyName(const std::string& name);
std::string ValidKeyNames();
