# Build helpers shared by every subsystem folder.

set(NORVANE_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # GCC 12 reports std::string concatenation as overlapping memcpy (GCC bug 105651).
  list(APPEND NORVANE_WARNINGS -Wno-restrict)
endif()

if(NORVANE_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(NORVANE_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT NORVANE_SANITIZE STREQUAL "")
  message(FATAL_ERROR "NORVANE_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(NORVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "NORVANE_FUZZ needs clang (libFuzzer)")
  endif()
  # Coverage for libFuzzer in every library, with ASan and UBSan watching.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

function(norvane_target_defaults target)
  target_compile_options(${target} PRIVATE ${NORVANE_WARNINGS})
  if(NORVANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# norvane_add_library(<subsystem> SOURCES ... [DEPS ...])
# Creates the static library norvane_<subsystem> (alias norvane::<subsystem>);
# headers are included as "<subsystem>/<file>.h".
function(norvane_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(norvane_${name} STATIC ${ARG_SOURCES})
  add_library(norvane::${name} ALIAS norvane_${name})
  target_include_directories(norvane_${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  target_link_libraries(norvane_${name} PUBLIC ${ARG_DEPS})
  norvane_target_defaults(norvane_${name})
endfunction()

# norvane_add_executable(<name> SOURCES ... [DEPS ...])
function(norvane_add_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  norvane_target_defaults(${name})
  add_dependencies(${name} norvane_resources)
endfunction()

# norvane_add_test(<name> SOURCES ... [DEPS ...] [LABELS ...] [WRAPPER command...])
# One GoogleTest binary, its cases registered with CTest. Binaries whose cases run
# several threads carry the label "threaded" so the TSan build runs them; the target
# norvane_threaded_tests builds just those. WRAPPER runs the listing and every case through a
# command, e.g. "dbus-run-session --" (a bus per case).
function(norvane_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS;WRAPPER" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_WRAPPER)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${ARG_WRAPPER}")
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  norvane_target_defaults(${name})
  add_dependencies(${name} norvane_resources)
  set(properties ENVIRONMENT "NORVANE_TRACE=")
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  if("threaded" IN_LIST ARG_LABELS)
    add_dependencies(norvane_threaded_tests ${name})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# norvane_add_bench(<name> SOURCES ... [DEPS ...]): a Google Benchmark binary,
# built by the "bench" target.
function(norvane_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  norvane_target_defaults(${name})
  add_dependencies(${name} norvane_resources)
  add_dependencies(bench ${name})
endfunction()
