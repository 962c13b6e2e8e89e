find_package(GTest REQUIRED)
include(GoogleTest)

set(SCRIPT_TESTS
    tests/trace_matchers.cpp
    tests/script_runs.cpp
    tests/run_control_test.cpp
    tests/launch_test.cpp
    tests/window_searches_test.cpp
    tests/clicks_test.cpp
    tests/driver_path_test.cpp
    tests/win95_script_test.cpp
    tests/win98_script_test.cpp
    tests/nt_script_test.cpp
    tests/faults_test.cpp
    tests/simulator_test.cpp
    tests/simulated_time_report.cpp)

# Every test of the program, once against setup.exe's logic and once against
# the logging twin's, which must pass them unchanged; the twin's own log tests
# only against the twin.
add_executable(setup_tests ${SCRIPT_TESTS})
target_link_libraries(setup_tests PRIVATE winsim setup_logic GTest::gtest GTest::gtest_main)
set(TEST_PROGRAMS setup_tests)
if(SETUP_WITH_TWIN)
    add_executable(setuplog_tests ${SCRIPT_TESTS} tests/call_log_test.cpp)
    target_link_libraries(setuplog_tests PRIVATE winsim setuplog_logic GTest::gtest GTest::gtest_main)
    target_compile_definitions(setuplog_tests PRIVATE TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests")
    list(APPEND TEST_PROGRAMS setuplog_tests)
endif()
foreach(tests ${TEST_PROGRAMS})
    # Hang reports name the program's procedures from the stack.
    set_target_properties(${tests} PROPERTIES ENABLE_EXPORTS ON)
    gtest_discover_tests(${tests} TEST_PREFIX ${tests}. DISCOVERY_TIMEOUT 60)
endforeach()

add_executable(simrun tools/simrun.cpp)
target_link_libraries(simrun PRIVATE winsim setup_logic)
set_target_properties(simrun PROPERTIES ENABLE_EXPORTS ON)

add_executable(faultmatrix tools/faultmatrix.cpp)
target_link_libraries(faultmatrix PRIVATE winsim setup_logic)
set_target_properties(faultmatrix PROPERTIES ENABLE_EXPORTS ON)
add_test(NAME fault_matrix COMMAND faultmatrix)

if(SETUP_WITH_TWIN)
    add_executable(simrun_log tools/simrun.cpp)
    target_link_libraries(simrun_log PRIVATE winsim setuplog_logic)
    set_target_properties(simrun_log PROPERTIES ENABLE_EXPORTS ON)
    # The twin makes the same calls as setup.exe, its own aside, in every scenario.
    add_test(NAME setuplog_makes_the_same_calls
             COMMAND ${CMAKE_SOURCE_DIR}/tests/same-calls $<TARGET_FILE:simrun> $<TARGET_FILE:simrun_log>)
endif()
