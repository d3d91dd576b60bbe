# Installs the build into a scratch prefix and checks what the desktop needs:
# one valid desktop entry whose Exec starts the installed program, its icon
# as a drawing and in the usual sizes, valid AppStream metainfo of this
# version, the help pages; then makes the Debian package and looks inside.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${result}):\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

# expect(<message> <condition...>): stops with the message unless the condition holds.
function(expect what)
  if(NOT (${ARGN}))
    message(FATAL_ERROR "${what}")
  endif()
endfunction()

set(prefix ${SCRATCH}/prefix)
file(REMOVE_RECURSE ${SCRATCH})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

file(GLOB entries ${prefix}/share/applications/*.desktop)
list(LENGTH entries count)
expect("expected one desktop entry, found: ${entries}" count EQUAL 1)
run(${DESKTOP_FILE_VALIDATE} ${entries})
file(STRINGS ${entries} exec REGEX "^Exec=")
file(STRINGS ${entries} icon REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" program "${exec}")
string(REGEX REPLACE "^Icon=" "" icon "${icon}")
expect("Exec names ${program}, which is not installed in bin" EXISTS ${prefix}/bin/${program})
expect("the headless runner is not installed" EXISTS ${prefix}/bin/tm650-run)

expect("no scalable icon ${icon}.svg" EXISTS ${prefix}/share/icons/hicolor/scalable/apps/${icon}.svg)
foreach(size 16 24 32 48 64 128 256)
  expect("no ${size}-pixel icon" EXISTS ${prefix}/share/icons/hicolor/${size}x${size}/apps/${icon}.png)
endforeach()

set(metainfo ${prefix}/share/metainfo/${icon}.metainfo.xml)
expect("no metainfo for ${icon}" EXISTS ${metainfo})
run(${APPSTREAMCLI} validate --no-net ${metainfo})
file(READ ${metainfo} text)
expect("the metainfo's release is not ${VERSION}" text MATCHES "<release version=.${VERSION}.")
expect("the help pages are not installed" EXISTS ${prefix}/share/doc/tm650e/html/tm650e.html)

# Started as the desktop starts it, on a fresh home, the program is still
# running when it is stopped: it found its firmware and opened its window.
set(home ${SCRATCH}/home)
file(MAKE_DIRECTORY ${home})
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen HOME=${home} XDG_CONFIG_HOME=${home}/.config
                        XDG_DATA_HOME=${home}/.local/share ${prefix}/bin/${program}
                TIMEOUT 3 RESULT_VARIABLE started OUTPUT_VARIABLE output ERROR_VARIABLE output)
expect("the installed program ended at once (${started}):\n${output}" started MATCHES "timeout")

run(${CPACK} -G DEB -B ${SCRATCH}/package --config ${BUILD_DIR}/CPackConfig.cmake)
file(GLOB packages ${SCRATCH}/package/*.deb)
run(${DPKG_DEB} -f ${packages} Version)
expect("the package's version is not ${VERSION}: ${output}" output MATCHES "^${VERSION}")
run(${DPKG_DEB} -c ${packages})
expect("the package holds no desktop entry" output MATCHES "usr/share/applications/${icon}.desktop")
expect("the package holds no program" output MATCHES "usr/bin/${program}")
