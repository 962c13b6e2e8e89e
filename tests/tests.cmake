find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(setup_tests
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
target_link_libraries(setup_tests PRIVATE winsim setup_logic GTest::gtest GTest::gtest_main)
# Hang reports name the program's procedures from the stack.
set_target_properties(setup_tests PROPERTIES ENABLE_EXPORTS ON)
gtest_discover_tests(setup_tests DISCOVERY_TIMEOUT 60)

add_executable(simrun tools/simrun.cpp)
target_link_libraries(simrun PRIVATE winsim setup_logic)
set_target_properties(simrun PROPERTIES ENABLE_EXPORTS ON)

add_executable(faultmatrix tools/faultmatrix.cpp)
target_link_libraries(faultmatrix PRIVATE winsim setup_logic)
set_target_properties(faultmatrix PROPERTIES ENABLE_EXPORTS ON)
add_test(NAME fault_matrix COMMAND faultmatrix)
