# Test programs are GoogleTest binaries for Windows. CTest runs each one
# through the Wine harness (tools/wine/run-test.sh), one CTest entry per
# binary: starting a Windows process per test case would be far too slow.

# Every tree has tests: one without the test programs still checks the
# import tables of the shipped programs (tools/imports).
enable_testing()

# The tree of the shipped 32-bit programs also builds the one test program
# that drives them end to end (tests/e2e, shipped_e2e_tests) where the rest
# of the suite is built for x86_64.
if(VELT_MINGW_ARCH STREQUAL "i686")
  set(_velt_shipped_e2e_default ON)
else()
  set(_velt_shipped_e2e_default OFF)
endif()
option(VELT_SHIPPED_E2E "Build the end-to-end test of the shipped programs" ${_velt_shipped_e2e_default})
if(VELT_BUILD_TESTS OR VELT_SHIPPED_E2E)
  set(VELT_TEST_SUPPORT ON)
else()
  set(VELT_TEST_SUPPORT OFF)
endif()

if(VELT_TEST_SUPPORT)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(VELT_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
  add_subdirectory(${VELT_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine/run-test.sh)
  endif()
endif()

# velt_add_test(<name> [SHIPPED] SOURCES ... [LIBS ...] [ARGS ...])
# Builds a console test program with GoogleTest's main and the test-support
# library (tests/support), and registers it with its arguments. SHIPPED: it
# is built in the tree of the shipped programs too (VELT_SHIPPED_E2E).
function(velt_add_test name)
  cmake_parse_arguments(T "SHIPPED" "TIMEOUT" "SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT VELT_BUILD_TESTS AND NOT (T_SHIPPED AND VELT_SHIPPED_E2E))
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} velt_test_support velt_options gtest_main gtest)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no ${T_ARGS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# velt_gui_program(<name> SOURCES ...): a Windows GUI program.
function(velt_gui_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${P_SOURCES})
  target_link_libraries(${name} PRIVATE ${P_LIBS} velt_options)
endfunction()

# velt_use_posix_threads(<target>): compile and link the target with the
# compilers of the posix thread model (see cmake/mingw-toolchain.cmake).
set(VELT_POSIX_THREADS_LAUNCHER ${CMAKE_CURRENT_LIST_DIR}/posix-threads.sh)
function(velt_use_posix_threads target)
  foreach(lang C CXX)
    get_target_property(launcher ${target} ${lang}_COMPILER_LAUNCHER)
    if(NOT launcher)
      set(launcher "")
    endif()
    set_property(TARGET ${target} PROPERTY ${lang}_COMPILER_LAUNCHER ${VELT_POSIX_THREADS_LAUNCHER} ${launcher})
    get_target_property(launcher ${target} ${lang}_LINKER_LAUNCHER)
    if(NOT launcher)
      set(launcher "")
    endif()
    set_property(TARGET ${target} PROPERTY ${lang}_LINKER_LAUNCHER ${VELT_POSIX_THREADS_LAUNCHER} ${launcher})
  endforeach()
  # Marks the objects: a change of launcher alone would not rebuild them.
  set_property(TARGET ${target} APPEND PROPERTY COMPILE_DEFINITIONS VELT_POSIX_THREADS)
endfunction()

function(_velt_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    _velt_targets_below(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Once every folder is read: the targets of every folder named "tests" (test
# programs, their helper libraries and programs), the tools (not shipped)
# and GoogleTest's own use the posix thread model; the shipped programs and
# the libraries they are made of, the win32 one.
#
# A test links the very objects the programs are made of, compiled by the
# win32 compiler, with the posix compiler's C++ run-time. That holds only
# while those objects use no library class whose layout depends on the
# thread model: the streams of <fstream> (a lock inside the file buffer),
# <mutex> and <condition_variable> (absent in GCC 12's win32 model anyway),
# and the allocators of <ext/...>. The shipped code uses the framework's
# CFile and CStdioFile instead of <fstream>.
function(_velt_tests_use_posix_threads)
  _velt_targets_below(${CMAKE_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY")
      continue()
    endif()
    get_target_property(dir ${target} SOURCE_DIR)
    file(RELATIVE_PATH in_project ${CMAKE_SOURCE_DIR} ${dir})
    set(in_gtest "..")
    if(VELT_TEST_SUPPORT)
      file(RELATIVE_PATH in_gtest ${VELT_GTEST_SOURCE_DIR} ${dir})
    endif()
    if(in_project MATCHES "(^|/)tests(/|$)" OR in_project MATCHES "^tools/" OR NOT in_gtest MATCHES "^\\.\\.")
      velt_use_posix_threads(${target})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _velt_tests_use_posix_threads)
