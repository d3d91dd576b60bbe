#include "print/page_margins.h"

#include <algorithm>
#include <climits>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

std::optional<long long> WholeNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  long long magnitude = 0;
  bool fits = true;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    if (magnitude > (LLONG_MAX - (c - '0')) / 10) fits = false;
    if (fits) magnitude = magnitude * 10 + (c - '0');
  }
  if (!fits) return negative ? LLONG_MIN : LLONG_MAX;
  return negative ? -magnitude : magnitude;
}

int32_t KeptMargin(long long points) { return static_cast<int32_t>(std::clamp<long long>(points, 0, MARGIN_POINTS_MAX)); }

TypedMargins ReadMargins(const std::array<std::string, 4>& typed) {
  TypedMargins read;
  std::array<long long, 4> numbers{};
  for (size_t i = 0; i < typed.size(); ++i) {
    const std::optional<long long> number = WholeNumber(typed[i]);
    if (!number) {
      read.refused = static_cast<int>(i);
      read.message = std::string("The ") + MarginFields[i].name + " margin must be a whole number.";
      return read;
    }
    numbers[i] = *number;
  }
  std::string pulledBack;
  for (size_t i = 0; i < typed.size(); ++i) {
    read.kept[i] = KeptMargin(numbers[i]);
    read.pulledBack[i] = read.kept[i] != numbers[i];
    if (!read.pulledBack[i]) continue;
    if (!pulledBack.empty()) pulledBack += ", ";
    pulledBack += std::string(MarginFields[i].name) + " " + std::to_string(read.kept[i]);
  }
  if (!pulledBack.empty()) {
    read.message = "Margins are kept within the page: from 0 to " + std::to_string(MARGIN_POINTS_MAX) +
                   " points (4 inches).\n\nNow: " + pulledBack + ". Press OK again to keep them.";
  }
  return read;
}
