# Installing lays the commands out in a kit: the prefix is the kit's folder, the one that holds
# setup.exe, and the commands go one folder below it, because installvorx looks for the launcher
# in the parent of its own folder. The README, an example settings file and the JSON Schema of
# installvorx-check's report go beside them.
set(IVX_KIT_FOLDER tools)
install(TARGETS ${IVX_COMMANDS} RUNTIME DESTINATION ${IVX_KIT_FOLDER})
install(FILES docs/manual.md DESTINATION ${IVX_KIT_FOLDER} RENAME README.md)
install(FILES src/check/report.schema.json DESTINATION ${IVX_KIT_FOLDER}
  RENAME installvorx-check.schema.json)
# Under a name of its own: unpacking a package into a kit must never replace the settings that
# an administrator keeps in tools/settings.ini.
install(FILES examples/settings.ini DESTINATION ${IVX_KIT_FOLDER} RENAME settings.example.ini)

add_custom_target(commands)
add_dependencies(commands ${IVX_COMMANDS})

# The package, to unpack in a kit's folder: a ZIP of the Windows build, a tar.gz of the Linux
# build, made by scripts/pack-kit from an install of the build in kit/, as the release makes it
# (which signs the Windows executables between the two steps and reads the name from the cache).
set(ivx_package_base ${IVX_PRODUCT_NAME}-${IVX_VERSION_TEXT}-installvorx)
# The release names its bill of materials and build record after the packages.
set(IVX_PACKAGE_BASE ${ivx_package_base} CACHE INTERNAL "The packages' name without the build")
set(IVX_PACKAGE_VERSION ${IVX_VERSION_TEXT} CACHE INTERNAL "The packages' version")
if(WIN32)
  set(IVX_PACKAGE_FILE ${ivx_package_base}-windows.zip CACHE INTERNAL "The package's file name")
else()
  set(IVX_PACKAGE_FILE ${ivx_package_base}-linux-${CMAKE_SYSTEM_PROCESSOR}.tar.gz
    CACHE INTERNAL "The package's file name")
endif()
# A build configured when CPack made the package still holds CPack's configuration, and with it
# CMake reserves the name "package".
file(REMOVE ${CMAKE_BINARY_DIR}/CPackConfig.cmake ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake)
set(ivx_pack_kit sh ${PROJECT_SOURCE_DIR}/scripts/pack-kit)
add_custom_target(package
  COMMAND ${ivx_pack_kit} stage ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/kit
  COMMAND ${ivx_pack_kit} pack ${CMAKE_BINARY_DIR}/kit ${CMAKE_BINARY_DIR}/${IVX_PACKAGE_FILE}
  COMMENT "Packing ${IVX_PACKAGE_FILE}"
  VERBATIM)
add_dependencies(package commands)
