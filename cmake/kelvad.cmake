# Helpers shared by every folder's CMakeLists.txt.

# kelvad_library(<name> SOURCES ... DEPS ...): the one library of a folder.
function(kelvad_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# kelvad_test(<name> SOURCES ... DEPS ... [LABELS ...]): one GoogleTest program,
# registered as one CTest test so that the cross build under qemu starts it once.
function(kelvad_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  if(KELVAD_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS "unit;${ARG_LABELS}" TIMEOUT 600)
endfunction()

# kelvad_e2e_test(<name> SOURCES ... DEPS ...): a whole-daemon test; it starts the
# built kelvad, so it runs natively only.
function(kelvad_e2e_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(KELVAD_FUZZ OR CMAKE_CROSSCOMPILING OR NOT KELVAD_E2E)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    KELVAD_BINARY="$<TARGET_FILE:kelvad>"
    KELVAD_BOARD_CLI="$<TARGET_FILE:kelvad-board>")
  add_dependencies(${name} kelvad kelvad-board)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS "e2e" TIMEOUT 600)
endfunction()

# kelvad_fuzz_target(<name> SOURCES ... DEPS ... [SECONDS n]): a libFuzzer program,
# built only in the fuzz configuration and run for a bounded time as a test.
set(KELVAD_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs in the test suite")
function(kelvad_fuzz_target name)
  cmake_parse_arguments(ARG "" "SECONDS" "SOURCES;DEPS" ${ARGN})
  if(NOT KELVAD_FUZZ)
    return()
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS ${KELVAD_FUZZ_SECONDS})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_test(NAME ${name} COMMAND ${name} -max_total_time=${ARG_SECONDS} -rss_limit_mb=1024 -print_final_stats=0)
  set_tests_properties(${name} PROPERTIES LABELS "fuzz" TIMEOUT 900)
endfunction()
