# Checks what installing or packaging puts in a kit folder: the commands, the README, the
# example settings and the JSON Schema of installvorx-check's report, one folder below the kit
# folder in tools/ (installvorx looks for the launcher in the parent of its own folder), the
# three text files unchanged, and nothing else. The example is settings.example.ini, so that a
# package never replaces an administrator's tools/settings.ini. The README there is the
# administrators' manual (docs/manual.md): it holds none of the sections of the developers'
# files in the source (the landing README among them), and none of their commands.
#   cmake -DMODE=install|package -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=...
#         -DCOMMANDS=file,file... [-DPACKAGE=archive] -P check_kit.cmake
# install: `cmake --install` of the build into WORK_DIR/kit;
# package: the build's package target makes BUILD_DIR/PACKAGE, which is listed, then unpacked
# into WORK_DIR/kit.
cmake_minimum_required(VERSION 3.22)

string(REPLACE "," ";" commands "${COMMANDS}")
list(TRANSFORM commands PREPEND tools/ OUTPUT_VARIABLE expected)
list(APPEND expected tools/README.md tools/settings.example.ini tools/installvorx-check.schema.json)
set(kit ${WORK_DIR}/kit)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${kit})

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${kit} RESULT_VARIABLE status
    OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${status}):\n${output}")
  endif()
endfunction()

function(expect_listing what actual wanted)
  list(SORT actual)
  list(SORT wanted)
  if(NOT actual STREQUAL wanted)
    message(FATAL_ERROR "${what} holds\n  ${actual}\ninstead of\n  ${wanted}")
  endif()
endfunction()

if(MODE STREQUAL "install")
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${kit})
elseif(MODE STREQUAL "package")
  set(archive ${BUILD_DIR}/${PACKAGE})
  file(REMOVE ${archive})
  run(${CMAKE_COMMAND} --build ${BUILD_DIR} --target package)
  if(NOT EXISTS ${archive})
    message(FATAL_ERROR "the package target made no ${PACKAGE}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${archive} OUTPUT_VARIABLE listing
    COMMAND_ERROR_IS_FATAL ANY)
  string(STRIP "${listing}" listing)
  string(REPLACE "\n" ";" listing "${listing}")
  expect_listing(${PACKAGE} "${listing}" "tools/;${expected}")
  run(${CMAKE_COMMAND} -E tar xf ${archive})
else()
  message(FATAL_ERROR "MODE must be install or package")
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${kit} ${kit}/*)
expect_listing("the kit folder" "${files}" "${expected}")
foreach(pair "docs/manual.md;README.md" "examples/settings.ini;settings.example.ini"
    "src/check/report.schema.json;installvorx-check.schema.json")
  list(GET pair 0 source)
  list(GET pair 1 installed)
  file(SHA256 ${SOURCE_DIR}/${source} wanted)
  file(SHA256 ${kit}/tools/${installed} actual)
  if(NOT actual STREQUAL wanted)
    message(FATAL_ERROR "tools/${installed} differs from ${source}")
  endif()
endforeach()
foreach(command IN LISTS commands)
  file(SIZE ${kit}/tools/${command} size)
  if(size EQUAL 0)
    message(FATAL_ERROR "tools/${command} is empty")
  endif()
endforeach()

file(READ ${kit}/tools/README.md readme)
foreach(developers README.md CONTRIBUTING.md ARCHITECTURE.md)
  file(STRINGS ${SOURCE_DIR}/${developers} headings REGEX "^##+ ")
  if(NOT headings)
    message(FATAL_ERROR "${developers} has no sections to look for")
  endif()
  foreach(heading IN LISTS headings)
    string(FIND "${readme}" "\n${heading}\n" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "tools/README.md holds the section \"${heading}\" of ${developers}")
    endif()
  endforeach()
endforeach()
foreach(command "scripts/test" "scripts/lint" "scripts/fuzz" "ctest " "cmake --build")
  string(FIND "${readme}" "${command}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "tools/README.md tells developers to run ${command}")
  endif()
endforeach()
