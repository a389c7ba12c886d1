# Test programs are Windows executables; CTest runs each one through scripts/wine-run,
# which uses the private Wine prefix of this build tree. One wineserver, and one private
# X server for the windows, live for the whole run: the fixture test wine_session_start
# starts them, wine_session_stop ends them.
set(CLSER_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Private Wine prefix of the tests")
set(CLSER_RUN_DIR ${CMAKE_BINARY_DIR}/run)

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

add_test(NAME wine_session_start
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session start ${CLSER_WINEPREFIX})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine)
add_test(NAME wine_session_stop
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session stop ${CLSER_WINEPREFIX})
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)

# clser_add_gtest(<target> SOURCES ... [LIBS ...] [LOCKS ...] [TIMEOUT s] [DISPLAY])
# Builds a GoogleTest program and registers it as one CTest test run under Wine.
# DISPLAY: the test shows windows (every test has the session's private X server; the
# word documents the test's need).
function(clser_add_gtest target)
  cmake_parse_arguments(T "DISPLAY" "TIMEOUT" "SOURCES;LIBS;LOCKS" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${target}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run ${CLSER_WINEPREFIX} $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES
    FIXTURES_REQUIRED wine
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "CLSER_TESTBED=${CMAKE_SOURCE_DIR}/testbed;CLSER_RUN_DIR=${CLSER_RUN_DIR}")
  if(T_LOCKS)
    set_tests_properties(${target} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
  endif()
endfunction()
