# Installing lays the command out in a kit: the prefix is the kit's folder, the one that holds
# setup.exe, and the command goes one folder below it, because it looks for the launcher in
# the parent of its own folder. The README and an example settings file go beside it.
set(IVX_KIT_FOLDER tools)
install(TARGETS ${IVX_COMMANDS} RUNTIME DESTINATION ${IVX_KIT_FOLDER})
install(FILES README.md examples/settings.ini DESTINATION ${IVX_KIT_FOLDER})

# The Windows build's package: a ZIP to unpack in the kit's folder.
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME ${IVX_PRODUCT_NAME})
  set(CPACK_PACKAGE_VERSION ${IVX_VERSION_TEXT})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
  set(CPACK_PACKAGE_FILE_NAME "${IVX_PRODUCT_NAME}-${IVX_VERSION_TEXT}-installvorx-windows")
  # The ZIP's one top folder is the kit folder itself, not one named after the package.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  # The build keeps its debugging information; the administrators' copy needs none.
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
