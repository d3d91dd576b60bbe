# Gathers the web site into OUTPUT: the page's own files and tables, the machine module,
# the header and footer expander, the manual with the page's help, and the
# face's pictures; then writes the
# service worker with the list of every file and a cache name that changes
# whenever any file does, so a new build replaces the old one offline too.
file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}/manual" "${OUTPUT}/images")

file(GLOB page_files "${SOURCE}/*")
list(FILTER page_files EXCLUDE REGEX "/sw\\.js$")
file(COPY ${page_files} DESTINATION "${OUTPUT}")
file(COPY "${TABLES}" DESTINATION "${OUTPUT}")
get_filename_component(module_dir "${MODULE}" DIRECTORY)
get_filename_component(module_name "${MODULE}" NAME_WE)
file(COPY "${MODULE}" "${module_dir}/${module_name}.wasm" "${EXPANDER}" DESTINATION "${OUTPUT}")

# The machine's glue joins its Worker's script, so that the Worker starts
# with one fetch rather than two in a row.
file(READ "${OUTPUT}/${module_name}.js" glue)
file(READ "${OUTPUT}/machine_worker.js" worker_script)
string(REPLACE "export default createMachine;" "" glue "${glue}")
string(REPLACE "import createMachine from \"./machine.js\";\n" "" worker_script "${worker_script}")
file(WRITE "${OUTPUT}/machine_worker.js" "${worker_script}\n${glue}")
file(REMOVE "${OUTPUT}/${module_name}.js")

file(GLOB manual_pages "${MANUAL}/*.html")
file(COPY ${manual_pages} DESTINATION "${OUTPUT}/manual")
configure_file("${HELP}" "${OUTPUT}/manual/page.html" COPYONLY)
file(COPY "${RESOURCES}/tm650.bmp" "${RESOURCES}/arc.bmp" DESTINATION "${OUTPUT}/images")

file(GLOB_RECURSE files RELATIVE "${OUTPUT}" "${OUTPUT}/*")
list(SORT files)
set(hashes "")
set(list "")
foreach(file IN LISTS files)
  file(SHA256 "${OUTPUT}/${file}" hash)
  string(APPEND hashes "${file} ${hash}\n")
  string(APPEND list "  \"./${file}\",\n")
endforeach()
string(SHA256 build "${hashes}")
string(SUBSTRING "${build}" 0 12 build)
file(READ "${SOURCE}/sw.js" worker)
string(REPLACE "\"@BUILD@\"" "\"${build}\"" worker "${worker}")
string(REPLACE "  \"@FILES@\",\n" "  \"./\",\n${list}" worker "${worker}")
file(WRITE "${OUTPUT}/sw.js" "${worker}")
