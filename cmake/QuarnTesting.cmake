# Tests, benchmarks and fuzz targets. Each function is a no-op when its kind is switched off,
# so a folder may declare them beside its code without guards.
#
# quarn_add_test(NAME <name> SOURCES <files...> [LIBS <libs...>])
# quarn_add_bench(NAME <name> SOURCES <files...> [LIBS <libs...>])
# quarn_add_fuzz(NAME <name>_fuzz SOURCES <files...> [LIBS <libs...>])

if(QUARN_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(QUARN_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()

function(_quarn_parse_target_args fn)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "NAME" "SOURCES;LIBS")
  if(NOT ARG_NAME OR NOT ARG_SOURCES)
    message(FATAL_ERROR "${fn}: NAME and SOURCES are required")
  endif()
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${fn}(${ARG_NAME}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  set(ARG_NAME ${ARG_NAME} PARENT_SCOPE)
  set(ARG_SOURCES ${ARG_SOURCES} PARENT_SCOPE)
  set(ARG_LIBS ${ARG_LIBS} PARENT_SCOPE)
endfunction()

# A GoogleTest executable whose cases ctest lists one by one. Tests find the trees through the
# QUARN_SOURCE_DIR / QUARN_BUILD_DIR macros, or the environment variables of the same names.
function(quarn_add_test)
  _quarn_parse_target_args(quarn_add_test ${ARGV})
  if(NOT QUARN_BUILD_TESTS)
    return()
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${ARG_NAME} PRIVATE
    QUARN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QUARN_BUILD_DIR="${CMAKE_BINARY_DIR}")
  # Discovery at test time: the build never runs the binary, and a sanitized one may be slow.
  # The two variables go in two properties since discovery splits a list value apart.
  gtest_discover_tests(${ARG_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      ENVIRONMENT "QUARN_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
      ENVIRONMENT_MODIFICATION "QUARN_BUILD_DIR=set:${CMAKE_BINARY_DIR}"
      LABELS ${ARG_NAME})
endfunction()

# A Google Benchmark executable in bin/. ctest runs each once for a single pass (label bench)
# so a broken benchmark shows; the timings themselves are read from a real run.
function(quarn_add_bench)
  _quarn_parse_target_args(quarn_add_bench ${ARGV})
  if(NOT QUARN_BUILD_BENCH)
    return()
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
  target_compile_definitions(${ARG_NAME} PRIVATE
    QUARN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QUARN_BUILD_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME} --benchmark_min_time=0)
  set_tests_properties(${ARG_NAME} PROPERTIES
    LABELS bench
    ENVIRONMENT "QUARN_SOURCE_DIR=${CMAKE_SOURCE_DIR};QUARN_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# A libFuzzer target. The name must end in _fuzz: .ci/run runs every such program in
# build/fuzz/bin, seeding it from fuzz/corpus/<name>/ and fuzz/<name>.dict when present.
function(quarn_add_fuzz)
  _quarn_parse_target_args(quarn_add_fuzz ${ARGV})
  if(NOT ARG_NAME MATCHES "_fuzz$")
    message(FATAL_ERROR "quarn_add_fuzz(${ARG_NAME}): the name must end in _fuzz")
  endif()
  if(NOT QUARN_BUILD_FUZZ OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
  target_compile_definitions(${ARG_NAME} PRIVATE
    QUARN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QUARN_BUILD_DIR="${CMAKE_BINARY_DIR}")
  target_compile_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${ARG_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()
