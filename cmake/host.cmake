# The same logic, linked against the simulated window system, for tests on Linux.
option(SETUP_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SETUP_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
add_compile_options(-Wall -Wextra)

add_library(setup_logic STATIC ${LOGIC_SOURCES})
target_include_directories(setup_logic PUBLIC src)

add_library(winsim STATIC
    sim/world.cpp
    sim/applet.cpp
    sim/applet_models.cpp
    sim/win32_sim.cpp
    sim/scenario.cpp
    sim/fault_matrix.cpp)
target_include_directories(winsim PUBLIC ${CMAKE_SOURCE_DIR} src)
target_link_libraries(setup_logic PUBLIC winsim)
target_link_libraries(winsim PUBLIC setup_logic)

enable_testing()
include(tests/tests.cmake)
