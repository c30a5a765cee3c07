# Test programs are GoogleTest binaries for Windows. CTest runs each one
# through the Wine harness (tools/wine/run-test.sh), one CTest entry per
# binary: starting a Windows process per test case would be far too slow.

if(VELT_BUILD_TESTS)
  enable_testing()
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

# velt_add_test(<name> SOURCES ... [LIBS ...])
# Builds a console test program with GoogleTest's main and the test-support
# library (tests/support), and registers it.
function(velt_add_test name)
  if(NOT VELT_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} velt_test_support velt_options gtest_main gtest)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
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
