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

# The session registers the Camera Link library folder that holds the other maker's stand-in.
add_test(NAME wine_session_start
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session start ${CLSER_WINEPREFIX} ${CMAKE_BINARY_DIR}/clserial)
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine)
add_test(NAME wine_session_stop
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session stop ${CLSER_WINEPREFIX})
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)

# Where 32-bit Wine runs only through the user-mode emulator, a 32-bit process dies at
# its next exception once one of its threads has ended. The tests whose programs end no
# threads carry the label emulator-safe; the target emulator_safe_tests builds what they
# run, so that scripts/test builds and runs just those there (ctest -L emulator-safe).
add_custom_target(emulator_safe_tests)

# clser_mark_emulator_safe(<test> [NEEDS target...]): labels a test emulator-safe and has
# emulator_safe_tests build the targets it runs.
function(clser_mark_emulator_safe test)
  cmake_parse_arguments(M "" "" "NEEDS" ${ARGN})
  set_property(TEST ${test} APPEND PROPERTY LABELS emulator-safe)
  if(M_NEEDS)
    add_dependencies(emulator_safe_tests ${M_NEEDS})
  endif()
endfunction()

# clser_add_gtest(<target> SOURCES ... [LIBS ...] [LOCKS ...] [TIMEOUT s] [DISPLAY]
#                 [EMULATOR_SAFE])
# Builds a GoogleTest program and registers it as one CTest test run under Wine.
# DISPLAY: the test shows windows (every test has the session's private X server; the
# word documents the test's need). EMULATOR_SAFE: the program ends no threads (see
# clser_mark_emulator_safe).
function(clser_add_gtest target)
  cmake_parse_arguments(T "DISPLAY;EMULATOR_SAFE" "TIMEOUT" "SOURCES;LIBS;LOCKS" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  # Every test program finds the simulated cameras built: the programs bind them at run time.
  add_dependencies(${target} clser_camera_standins)
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
  if(T_EMULATOR_SAFE)
    clser_mark_emulator_safe(${target} NEEDS ${target})
  endif()
endfunction()
