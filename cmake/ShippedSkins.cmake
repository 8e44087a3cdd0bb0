# The skin folders that ship with the program: assets/skins/<Name>/ is copied to
# <build dir>/share/maruk-rom-viewer/skins/<Name>/, where the program finds it relative to its
# own executable (<build dir>/viewer/../share/maruk-rom-viewer/skins).
file(GLOB_RECURSE MARUK_SHIPPED_SKIN_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/skins/*)
set(MARUK_SHIPPED_SKIN_DIR ${CMAKE_BINARY_DIR}/share/maruk-rom-viewer/skins)
set(MARUK_SHIPPED_SKIN_STAMP ${CMAKE_BINARY_DIR}/share/maruk-rom-viewer/skins.stamp)
add_custom_command(
  OUTPUT ${MARUK_SHIPPED_SKIN_STAMP}
  COMMAND ${CMAKE_COMMAND} -E remove_directory ${MARUK_SHIPPED_SKIN_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/assets/skins ${MARUK_SHIPPED_SKIN_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${MARUK_SHIPPED_SKIN_STAMP}
  DEPENDS ${MARUK_SHIPPED_SKIN_FILES}
  COMMENT "Copying the shipped skins"
  VERBATIM)
add_custom_target(shipped_skins ALL DEPENDS ${MARUK_SHIPPED_SKIN_STAMP})
