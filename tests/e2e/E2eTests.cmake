# ivx_add_e2e_tests(<e2e binary>): the end-to-end tests of one build. Under Wine they run in
# two shards, each mapping its case folders to a drive letter of its own.
function(ivx_add_e2e_tests e2e_binary)
  if(CMAKE_CROSSCOMPILING)
    foreach(shard 0 1)
      if(shard EQUAL 0)
        set(drive k)
      else()
        set(drive l)
      endif()
      add_test(NAME e2e_shard_${shard} COMMAND ${e2e_binary})
      set_tests_properties(e2e_shard_${shard} PROPERTIES
        ENVIRONMENT "${IVX_WINE_ENV};IVX_E2E_DRIVE=${drive};IVX_E2E_LOCALES=${IVX_LOCALES};GTEST_TOTAL_SHARDS=2;GTEST_SHARD_INDEX=${shard}"
        FIXTURES_REQUIRED wine TIMEOUT 900)
    endforeach()
  else()
    include(GoogleTest)
    gtest_discover_tests(${e2e_binary} TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()
