# The same logic, linked against the simulated window system, for tests on Linux:
# once as setup.exe has it, once with the logging twin's layer at the platform door.
option(SETUP_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SETUP_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra)

# The simulator's objects go into every program ahead of the logic they run,
# so that either build of the logic can stand behind them.
add_library(winsim OBJECT
    sim/world.cpp
    sim/applet.cpp
    sim/applet_models.cpp
    sim/win32_sim.cpp
    sim/log_door_sim.cpp
    sim/scenario.cpp
    sim/fault_matrix.cpp)
target_include_directories(winsim PUBLIC ${CMAKE_SOURCE_DIR} src)

add_library(setup_logic STATIC ${LOGIC_SOURCES})
target_include_directories(setup_logic PUBLIC src)

if(SETUP_WITH_TWIN)
    add_library(setuplog_logic STATIC ${LOGIC_SOURCES} ${LOG_LAYER_SOURCES})
    target_include_directories(setuplog_logic PUBLIC src)
    target_compile_definitions(setuplog_logic PUBLIC SETUP_LOG)
endif()

enable_testing()
include(tests/tests.cmake)
