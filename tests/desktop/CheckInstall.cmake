# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... [-DDESKTOP_FILE_VALIDATE=...] [-DAPPSTREAMCLI=...] -P CheckInstall.cmake
# Installs BUILD_DIR into WORK_DIR (emptied first), then checks the list of installed files,
# the icons' sizes, the program's answer to --version, and the desktop entry and metainfo with
# the desktop's own validators when they are installed.
set(failures 0)
macro(fail message)
  message(SEND_ERROR "${message}")
  math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${WORK_DIR}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()

set(expected
    bin/Maruk_ROM_viewer
    share/applications/org.maruk.RomViewer.desktop
    share/icons/hicolor/128x128/apps/org.maruk.RomViewer.png
    share/icons/hicolor/16x16/apps/org.maruk.RomViewer.png
    share/icons/hicolor/32x32/apps/org.maruk.RomViewer.png
    share/icons/hicolor/48x48/apps/org.maruk.RomViewer.png
    share/man/man1/Maruk_ROM_viewer.1
    share/metainfo/org.maruk.RomViewer.metainfo.xml)
# Every shipped skin file, under the program's data folder.
file(GLOB_RECURSE skins RELATIVE "${SOURCE_DIR}/assets" "${SOURCE_DIR}/assets/skins/*")
foreach(skin IN LISTS skins)
  list(APPEND expected "share/maruk-rom-viewer/${skin}")
endforeach()
list(SORT expected)

file(GLOB_RECURSE installed RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
list(SORT installed)
message(STATUS "Installed:")
foreach(f IN LISTS installed)
  message(STATUS "  ${f}")
endforeach()
if(NOT installed STREQUAL expected)
  string(REPLACE ";" "\n  " want "${expected}")
  fail("installed files differ from the expected ones:\n  ${want}")
endif()

# A PNG's width and height are the big-endian words at bytes 16 and 20.
foreach(size 16 32 48 128)
  set(png "${WORK_DIR}/share/icons/hicolor/${size}x${size}/apps/org.maruk.RomViewer.png")
  if(EXISTS "${png}")
    file(READ "${png}" header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 32 8 w)
    string(SUBSTRING "${header}" 40 8 h)
    math(EXPR w "0x${w}")
    math(EXPR h "0x${h}")
    if(NOT w EQUAL size OR NOT h EQUAL size)
      fail("icon ${size}x${size} is ${w}x${h}")
    endif()
  endif()
endforeach()

execute_process(COMMAND "${WORK_DIR}/bin/Maruk_ROM_viewer" --version RESULT_VARIABLE result OUTPUT_VARIABLE version)
if(NOT result EQUAL 0 OR NOT version MATCHES "^Maruk_ROM_viewer [0-9]")
  fail("the installed program answers --version with ${result}: ${version}")
endif()

if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${WORK_DIR}/share/applications/org.maruk.RomViewer.desktop"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0 OR NOT out STREQUAL "")
    fail("desktop-file-validate: ${out}")
  endif()
endif()
if(APPSTREAMCLI)
  execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net "${WORK_DIR}/share/metainfo/org.maruk.RomViewer.metainfo.xml"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    fail("appstreamcli validate: ${out}")
  endif()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) failed")
endif()
