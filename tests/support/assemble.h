// Test helper: assembles a small 6800-family program with the GNU m68hc11
// tools so that tests check instruction encodings against an independent
// assembler. Direct-page operands need the `*` prefix (`staa *0x03`).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Assembles `source` as one .text section placed at `origin` and returns its
// bytes. Throws std::runtime_error carrying the tools' messages on failure.
std::vector<uint8_t> Assemble(const std::string& source, uint16_t origin);
