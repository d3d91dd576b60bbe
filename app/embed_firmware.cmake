# Writes a C++ source holding the bytes of IMAGE (or no image when IMAGE is
# empty) as the program's built-in firmware.
if(IMAGE)
  file(READ "${IMAGE}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  set(body "alignas(4) const uint8_t kImage[${size}] = {\n${bytes}};\n}  // namespace\n\nstd::span<const uint8_t> BuiltinFirmware() { return {kImage, sizeof kImage}; }\n")
else()
  set(body "}  // namespace\n\nstd::span<const uint8_t> BuiltinFirmware() { return {}; }\n")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated at build time: the built-in firmware image.\n#include \"app/startup.h\"\n\nnamespace {\n${body}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
