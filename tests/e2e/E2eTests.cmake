# The end-to-end tests of one build, as the build's own project adds them (tests/CMakeLists.txt
# for the Linux build, tests/wine/WineTests.cmake for the Windows build).

# Every JSON report of installvorx-check that the tests read is written here, and validated
# against the report's schema once they have run.
set(IVX_E2E_REPORTS ${CMAKE_BINARY_DIR}/e2e-reports)

# ivx_e2e_build_header(<folder>): writes <folder>/build_under_test.h, the build under test as
# the tests see it, from the caller's IVX_E2E_* variables, which may hold generator
# expressions ($<TARGET_FILE:...>). The tests' own project (tests/e2e) then only needs the
# folder, IVX_E2E_BUILD_HEADER.
function(ivx_e2e_build_header folder)
  set(IVX_E2E_README ${PROJECT_SOURCE_DIR}/docs/manual.md)
  set(IVX_E2E_EXAMPLE_SETTINGS ${PROJECT_SOURCE_DIR}/examples/settings.ini)
  set(IVX_E2E_INI_CORPUS ${PROJECT_SOURCE_DIR}/fuzz/corpus/ini_reader)
  foreach(flag IVX_E2E_WINE IVX_E2E_SANITIZED IVX_E2E_WINDOWS_HOST)
    if(${flag})
      set(${flag} true)
    else()
      set(${flag} false)
    endif()
  endforeach()
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/build_under_test.h.in
    ${folder}/build_under_test.h.configured @ONLY)
  file(GENERATE OUTPUT ${folder}/build_under_test.h
    INPUT ${folder}/build_under_test.h.configured)
endfunction()

# ivx_add_e2e_tests(<e2e binary>): the end-to-end tests of one build. Under Wine they run in
# two shards, each mapping its case folders to a drive letter of its own. Before them the
# reports of an earlier run are removed; after them e2e_report_schema validates the reports.
function(ivx_add_e2e_tests e2e_binary)
  add_test(NAME e2e_reports_reset COMMAND ${CMAKE_COMMAND} -E rm -rf ${IVX_E2E_REPORTS})
  set_tests_properties(e2e_reports_reset PROPERTIES FIXTURES_SETUP e2e_reports_reset)
  if(WIN32)
    foreach(shard 0 1)
      if(shard EQUAL 0)
        set(drive k)
      else()
        set(drive l)
      endif()
      add_test(NAME e2e_shard_${shard} COMMAND ${e2e_binary})
      set_tests_properties(e2e_shard_${shard} PROPERTIES
        ENVIRONMENT "${IVX_WINE_ENV};IVX_E2E_DRIVE=${drive};GTEST_TOTAL_SHARDS=2;GTEST_SHARD_INDEX=${shard}"
        FIXTURES_REQUIRED "wine;e2e_reports_reset" FIXTURES_SETUP e2e_reports TIMEOUT 900)
    endforeach()
  else()
    include(GoogleTest)
    gtest_discover_tests(${e2e_binary} TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST
      PROPERTIES FIXTURES_REQUIRED e2e_reports_reset FIXTURES_SETUP e2e_reports)
  endif()
  # Debian's python3, which python3-jsonschema serves, before any other on the PATH.
  find_program(IVX_PYTHON3 python3 HINTS /usr/bin REQUIRED)
  add_test(NAME e2e_report_schema
    COMMAND ${IVX_PYTHON3} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/validate_reports.py
      ${PROJECT_SOURCE_DIR}/src/check/report.schema.json ${IVX_E2E_REPORTS})
  set_tests_properties(e2e_report_schema PROPERTIES FIXTURES_REQUIRED e2e_reports)
endfunction()
