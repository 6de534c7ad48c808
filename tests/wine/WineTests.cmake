# The Windows build's tests. Cross built, the unit tests run as a .exe under Wine; the
# end-to-end tests are built natively (an external project) and run installvorx.exe under
# Wine. All of them use one private prefix, made and served by the "wine" fixture. Built on
# Windows itself (IVX_WINDOWS_HOST), every test runs directly there: the end-to-end tests are
# built with the same compiler, and the release test, which makes the Linux build too, is not
# added.
include(ExternalProject)

# Windows paths of this build's files, as the tests hand them to a Windows program: under Wine
# a Linux path is on drive Z:.
if(IVX_WINDOWS_HOST)
  set(ivx_drive "")
  set(IVX_WINE_ENV "")
else()
  set(ivx_drive "Z:")
  set(IVX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(IVX_WINE_ENV "WINEPREFIX=${IVX_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
endif()

if(NOT IVX_WINDOWS_HOST)
  add_test(NAME wine_prefix_start
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/wine/prefix.sh start ${IVX_WINEPREFIX})
  set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  add_test(NAME wine_prefix_stop
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/wine/prefix.sh stop ${IVX_WINEPREFIX})
  set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine)
  set(IVX_LOCALES ${CMAKE_BINARY_DIR}/locales)
  add_test(NAME wine_locale_ja
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/wine/prefix.sh locale ${IVX_LOCALES})
  set_tests_properties(wine_locale_ja PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
endif()

# The fake launcher as the unit tests, a Windows program, name it.
string(REPLACE "/" "\\\\" fake_setup_windows "${ivx_drive}${CMAKE_CURRENT_BINARY_DIR}/fake_setup.exe")
add_test(NAME unit_tests COMMAND unit_tests)
set_tests_properties(unit_tests PROPERTIES
  ENVIRONMENT "${IVX_WINE_ENV};IVX_FAKE_SETUP=${fake_setup_windows}"
  FIXTURES_REQUIRED wine TIMEOUT 600)

set(IVX_LINUX_BUILD_DIR "" CACHE PATH
  "The Linux build: the end-to-end tests compare its logs with the Windows build's")

# The version information and manifest of each command, read back through Windows' calls.
add_executable(resource_check resources/resource_check.cpp)
target_link_libraries(resource_check PRIVATE version ivx_warnings)
target_link_options(resource_check PRIVATE ${IVX_STATIC_LINK})
add_dependencies(resource_check ${IVX_COMMANDS})
foreach(command IN ITEMS "installvorx|${PROJECT_DESCRIPTION}"
                         "installvorx-check|VORX settings file check")
  string(REPLACE "|" ";" command "${command}")
  list(GET command 0 name)
  list(GET command 1 description)
  set(ivx_resources_${name}
    "ProductName=VORX"
    "ProductVersion=${IVX_VERSION_TEXT}"
    "FileVersion=${IVX_VERSION_TEXT}"
    "FileDescription=${description}"
    "OriginalFilename=${name}.exe"
    "FixedVersion=${PROJECT_VERSION}"
    "Manifest=<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"
    "Manifest=<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>")
  add_test(NAME windows_resources_${name}
    COMMAND resource_check "${ivx_drive}$<TARGET_FILE:${name}>" ${ivx_resources_${name}})
  set_tests_properties(windows_resources_${name} PROPERTIES
    ENVIRONMENT "${IVX_WINE_ENV}" FIXTURES_REQUIRED wine TIMEOUT 120)
endforeach()
set(ivx_resources ${ivx_resources_installvorx})

if(NOT IVX_WINDOWS_HOST)
  # The release, made twice from fresh clones and once signed: the same bytes, and signatures
  # that verify and change nothing else (the signed installvorx.exe runs here, under Wine).
  string(JOIN "," ivx_commands ${IVX_COMMANDS})
  add_test(NAME release
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/release/check_release.sh ${PROJECT_SOURCE_DIR}
      $<TARGET_FILE:resource_check> ${ivx_commands} ${ivx_resources})
  # It builds both builds twice, which must not run beside the other tests.
  set_tests_properties(release PROPERTIES
    ENVIRONMENT "${IVX_WINE_ENV}" FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 1200
    SKIP_RETURN_CODE 77)
endif()

# Copies of the commands that ask in their manifest for UTF-8 as their code page (65001, as
# Windows' "Use Unicode UTF-8 for worldwide language support" makes it for every program):
# Wine honours a manifest's choice, not a system-wide one.
file(READ ${PROJECT_SOURCE_DIR}/cmake/command.manifest ivx_manifest)
string(REPLACE "</windowsSettings>"
  "  <activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>\n    </windowsSettings>"
  ivx_manifest "${ivx_manifest}")
file(WRITE ${CMAKE_BINARY_DIR}/generated/utf8-code-page.manifest "${ivx_manifest}")
ivx_add_command(installvorx-utf8 "${PROJECT_DESCRIPTION}" ivx_driver
  ${PROJECT_SOURCE_DIR}/src/driver/main.cpp ${CMAKE_BINARY_DIR}/generated/utf8-code-page.manifest)
ivx_add_command(installvorx-check-utf8 "VORX settings file check" ivx_check
  ${PROJECT_SOURCE_DIR}/src/check/main.cpp ${CMAKE_BINARY_DIR}/generated/utf8-code-page.manifest)

include(${CMAKE_CURRENT_SOURCE_DIR}/e2e/E2eTests.cmake)
set(IVX_E2E_WINE ON)
set(IVX_E2E_SANITIZED OFF)
set(IVX_E2E_BINARY $<TARGET_FILE:installvorx>)
set(IVX_E2E_CHECK $<TARGET_FILE:installvorx-check>)
set(IVX_E2E_UTF8_BINARY $<TARGET_FILE:installvorx-utf8>)
set(IVX_E2E_UTF8_CHECK $<TARGET_FILE:installvorx-check-utf8>)
set(IVX_E2E_FAKE_SETUP $<TARGET_FILE:fake_setup>)
set(IVX_E2E_DEMO_SETUP $<TARGET_FILE:demo_setup>)
set(IVX_E2E_LINUX_BINARY ${IVX_LINUX_BUILD_DIR}/installvorx)
set(IVX_E2E_LINUX_FAKE_SETUP ${IVX_LINUX_BUILD_DIR}/tests/fake_setup)
set(IVX_E2E_LOCALES ${IVX_LOCALES})
set(IVX_E2E_WINDOWS_HOST ${IVX_WINDOWS_HOST})
ivx_e2e_build_header(${CMAKE_BINARY_DIR}/e2e-build)
set(ivx_e2e_programs installvorx installvorx-check installvorx-utf8 installvorx-check-utf8
  fake_setup demo_setup)

if(IVX_WINDOWS_HOST)
  set(IVX_E2E_BUILD_HEADER ${CMAKE_BINARY_DIR}/e2e-build)
  add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/e2e ${CMAKE_BINARY_DIR}/e2e-host)
  add_dependencies(e2e_tests ${ivx_e2e_programs})
  add_dependencies(installer_tests ${ivx_e2e_programs})
  ivx_add_e2e_tests($<TARGET_FILE:e2e_tests>)
  set(IVX_INSTALLER_TESTS $<TARGET_FILE:installer_tests>)
else()
  ExternalProject_Add(e2e_host
    SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/e2e
    BINARY_DIR ${CMAKE_BINARY_DIR}/e2e-host
    CMAKE_ARGS
      -DCMAKE_BUILD_TYPE=RelWithDebInfo
      -DCMAKE_CXX_COMPILER=g++
      -DIVX_E2E_BUILD_HEADER=${CMAKE_BINARY_DIR}/e2e-build
      -DIVX_E2E_WINE=ON
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    DEPENDS ${ivx_e2e_programs})
  ivx_add_e2e_tests(${CMAKE_BINARY_DIR}/e2e-host/e2e_tests)
  set(IVX_INSTALLER_TESTS ${CMAKE_BINARY_DIR}/e2e-host/installer_tests)
endif()

add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/installer ${CMAKE_CURRENT_BINARY_DIR}/installer)
