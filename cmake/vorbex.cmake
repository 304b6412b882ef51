# Build helpers shared by every folder: one static library per folder, one test
# program per test folder, the same warnings and character-set flags everywhere.

if(SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  # Instrumented test programs are large; linked position-dependent they
  # start in half the time, having no load-time relocations to apply.
  add_link_options(-fsanitize=address,undefined $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-no-pie>)
endif()
if(FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Most of a file's compile time is the same headers parsed again, so the
# libraries' and test programs' files are compiled eight at a time as one unit.
option(VX_UNITY "Compile the libraries' and test programs' files a few at a time as one unit" ON)
function(vx_unity target)
  if(VX_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    # An included file counts as a header, whose anonymous-namespace types
    # GCC would warn about when a class uses them.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
  endif()
endfunction()

# Our own code: warnings on, and Czech literals become Windows-1250 bytes (GCC only;
# clang has no such execution charset, which only the fuzz build uses).
function(vx_target_flags target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP1250)
  endif()
endfunction()

# vx_library(<name> [NO_RECURSE] [DEPS <targets or libs>...] [SEPARATE <files>...])
# A static library from every .cpp/.c below the current folder (or only in it,
# with NO_RECURSE, when a sub-folder is a library of its own). SEPARATE names
# files compiled alone, whose file-local names or system headers clash with
# their neighbours'.
function(vx_library name)
  cmake_parse_arguments(A "NO_RECURSE" "" "DEPS;PRIVATE_DEPS;SEPARATE" ${ARGN})
  set(glob GLOB_RECURSE)
  if(A_NO_RECURSE)
    set(glob GLOB)
  endif()
  file(${glob} srcs CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  add_library(${name} STATIC ${srcs})
  vx_unity(${name})
  set_source_files_properties(${A_SEPARATE} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
  vx_target_flags(${name})
endfunction()

# vx_test(<label> DEPS <libs>... [SOURCES <files>] [NAME <exe>] [PROPERTIES <test properties>] [SEPARATE])
# One GoogleTest program (test_<label> by default) from the .cpp files of the
# current folder, registered with CTest under its label. SEPARATE compiles its
# files one by one, for files whose names or headers clash (X11's macros). One label only: the
# discovered tests' properties are a flat list, so a second label would take
# the properties after it apart (a fixture requirement lost with it).
set(VX_TEST_TIMEOUT 300 CACHE STRING "Seconds one test case may run before CTest stops it")

function(vx_test label)
  cmake_parse_arguments(A "SEPARATE" "NAME" "DEPS;SOURCES;PROPERTIES" ${ARGN})
  if(NOT A_NAME)
    set(A_NAME test_${label})
  endif()
  if(A_SOURCES)
    set(srcs ${A_SOURCES})
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_executable(${A_NAME} ${srcs})
  if(NOT A_SEPARATE)
    vx_unity(${A_NAME})
  endif()
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS} testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${A_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${A_NAME} PRIVATE
    VX_SOURCE_DIR="${PROJECT_SOURCE_DIR}" VX_BINARY_DIR="${PROJECT_BINARY_DIR}")
  vx_target_flags(${A_NAME})
  # Suites on the shared MariaDB server create and drop tables of the same
  # names, so their cases never run side by side.
  if("mariadb" IN_LIST A_PROPERTIES)
    list(APPEND A_PROPERTIES RESOURCE_LOCK mariadb)
  endif()
  # Every case has a time limit, so a hang fails within minutes and names
  # itself instead of stalling the whole run.
  if(NOT "TIMEOUT" IN_LIST A_PROPERTIES)
    list(APPEND A_PROPERTIES TIMEOUT ${VX_TEST_TIMEOUT})
  endif()
  gtest_discover_tests(${A_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${label} ${A_PROPERTIES})
endfunction()
