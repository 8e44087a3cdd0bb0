# Runs skin_art into an empty folder that holds only the window's stored layout, its skin block
# emptied, and fails unless it writes every generated file of the repository (the layout,
# assets/skin/, assets/skins/) byte for byte, and nothing else.
#   cmake -DSKIN_ART=... -DSOURCE_DIR=... -DWORK_DIR=... -P CheckSkinArtOutput.cmake
set(layout "Maruk_rom.layout")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/assets")

file(READ "${SOURCE_DIR}/assets/${layout}" text)
set(begin_line "    // skin begin\n")
string(FIND "${text}" "${begin_line}" begin)
string(FIND "${text}" "    // skin end\n" end)
if(begin EQUAL -1 OR end LESS begin)
  message(FATAL_ERROR "assets/${layout} has no skin block")
endif()
string(LENGTH "${begin_line}" begin_length)
math(EXPR kept "${begin} + ${begin_length}")
string(SUBSTRING "${text}" 0 ${kept} head)
string(SUBSTRING "${text}" ${end} -1 tail)
file(WRITE "${WORK_DIR}/assets/${layout}" "${head}${tail}")

execute_process(COMMAND "${SKIN_ART}" "${WORK_DIR}" RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "skin_art exited with ${result}:\n${output}${errors}")
endif()

file(GLOB_RECURSE expected RELATIVE "${SOURCE_DIR}/assets" "${SOURCE_DIR}/assets/skin/*" "${SOURCE_DIR}/assets/skins/*")
list(APPEND expected "${layout}")
file(GLOB_RECURSE written RELATIVE "${WORK_DIR}/assets" "${WORK_DIR}/assets/*")
list(SORT expected)
list(SORT written)
if(NOT expected STREQUAL written)
  message(FATAL_ERROR "skin_art writes other files than the repository holds:\n  in the repository: ${expected}\n"
                      "  written: ${written}")
endif()

set(different "")
foreach(name IN LISTS expected)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${SOURCE_DIR}/assets/${name}" "${WORK_DIR}/assets/${name}"
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    list(APPEND different "${name}")
  endif()
endforeach()
if(different)
  message(FATAL_ERROR "skin_art writes other bytes than the checked-in files (run build/tools/skin_art . and "
                      "commit its output, or fix the generator): ${different}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
list(LENGTH expected count)
message(STATUS "skin_art wrote all ${count} files exactly as checked in")
