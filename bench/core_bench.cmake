target_link_libraries(core_bench PRIVATE machine tm650_app)
add_dependencies(core_bench tm650-run)
target_compile_definitions(core_bench PRIVATE TM650_RUN="$<TARGET_FILE:tm650-run>")

# The baseline: the processor core as it was before the run loop took the
# registers into locals (one handler call per instruction), built from git
# into its own namespace so both cores run side by side in one process.
set(CORE_BASELINE_COMMIT bfda863f60e11065d6cbb7acd4382113ff335310)
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} show ${CORE_BASELINE_COMMIT}:emulator/m6303.h
                  OUTPUT_VARIABLE baseline_header RESULT_VARIABLE header_status ERROR_QUIET)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} show ${CORE_BASELINE_COMMIT}:emulator/m6303.cpp
                  OUTPUT_VARIABLE baseline_source RESULT_VARIABLE source_status ERROR_QUIET)
endif()
if(GIT_FOUND AND header_status EQUAL 0 AND source_status EQUAL 0)
  foreach(part baseline_header baseline_source)
    string(REGEX REPLACE "#pragma once|#include [^\n]*" "" ${part} "${${part}}")
  endforeach()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/core_baseline)
  set(prelude "// Generated from git ${CORE_BASELINE_COMMIT}: the baseline core.\n#pragma once\n#include <array>\n#include <cstddef>\n#include <cstdint>\n#include <iterator>\n")
  file(CONFIGURE OUTPUT ${dir}/baseline_core.h CONTENT "${prelude}namespace baseline {\n\@baseline_header\@\n}\n" @ONLY)
  file(CONFIGURE OUTPUT ${dir}/baseline_core.cpp
       CONTENT "#include \"baseline_core.h\"\nnamespace baseline {\n\@baseline_source\@\n}\n" @ONLY)
  target_sources(core_bench PRIVATE ${dir}/baseline_core.cpp)
  target_include_directories(core_bench PRIVATE ${dir})
  target_compile_definitions(core_bench PRIVATE TM650_CORE_BASELINE)
else()
  message(STATUS "core_bench: no git history here, so no baseline core to compare with")
endif()
