// Script names of the keys: the labels a knitter sees, plus the window's own
// buttons (power, File > New, paper feed) and "#id" for any control.
#include "tools/key_names.h"

#include <array>

#include "peripherals/keypad.h"
#include "resources/ids.h"

namespace {

struct NamedKey {
  const char* name;
  int controlId;
};

constexpr std::array<NamedKey, 21> kNamedKeys{{
    {"0", IDC_KEY_0}, {".", IDC_KEY_POINT}, {"C", IDC_KEY_C},
    {"AC", IDC_KEY_AC_ALL}, {"ACNG", IDC_KEY_AC_NO_GAUGE},
    {"S", IDC_KEY_S}, {"R", IDC_KEY_R}, {"X", IDC_KEY_X}, {"Y", IDC_KEY_Y},
    {"Z", IDC_KEY_Z}, {"P=", IDC_KEY_P_EQUALS}, {"=", IDC_KEY_EQUALS},
    {"1", IDC_KEY_1}, {"2", IDC_KEY_1 + 1}, {"3", IDC_KEY_1 + 2},
    {"4", IDC_KEY_1 + 3}, {"5", IDC_KEY_1 + 4}, {"6", IDC_KEY_1 + 5},
    {"7", IDC_KEY_1 + 6}, {"8", IDC_KEY_1 + 7}, {"9", IDC_KEY_9},
}};

// Decimal digits only: no sign, no space, at most 65535.
std::optional<int> ParseControlId(const std::string& text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int id = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    id = id * 10 + (c - '0');
  }
  if (id > 65535) return std::nullopt;
  return id;
}

}  // namespace

std::optional<KeyAction> ParseKeyName(const std::string& name) {
  if (name == "POWER") return KeyAction{ActionKind::Power, IDC_POWER};
  if (name == "NEW") return KeyAction{ActionKind::New, IDM_NEW};
  if (name == "PF") return KeyAction{ActionKind::PaperFeed, IDC_PAPER_FEED};
  if (name.size() == 2 && name[0] == 'F' && name[1] >= 'A' && name[1] <= 'N') {
    return KeyAction{ActionKind::Key, IDC_KEY_A + (name[1] - 'A')};
  }
  for (const NamedKey& key : kNamedKeys) {
    if (name == key.name) return KeyAction{ActionKind::Key, key.controlId};
  }
  if (name.size() > 1 && name[0] == '#') {
    auto id = ParseControlId(name.substr(1));
    if (!id) return std::nullopt;
    if (*id == IDC_POWER) return KeyAction{ActionKind::Power, *id};
    if (*id == IDM_NEW) return KeyAction{ActionKind::New, *id};
    if (*id == IDC_PAPER_FEED) return KeyAction{ActionKind::PaperFeed, *id};
    return KeyAction{ActionKind::Key, *id};
  }
  return std::nullopt;
}

std::string ValidKeyNames() {
  return "0-9 . C AC ACNG S R X Y Z P= = FA-FN PF POWER NEW #NNNN";
}
