# GoogleTest for the tests: the installed package when there is one for this build's compiler,
# or else built from its sources with it (IVX_GTEST_SOURCE; Debian's source package by
# default, which the cross build and any tree without the package use).
find_package(GTest QUIET)
if(NOT TARGET GTest::gtest_main)
  set(IVX_GTEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest sources, built when no GoogleTest package is found")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${IVX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
