// The Page Setup dialog's reading of a margin field.
#pragma once

#include <QString>
#include <cstdint>

// What atoi makes of `text`: a leading number, 0 for none, negatives kept.
int32_t MarginFromText(const QString& text);
