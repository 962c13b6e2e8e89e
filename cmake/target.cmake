# setup.exe: freestanding, for a 486 running Windows 95 or NT 4.
enable_language(RC)

add_executable(setup WIN32 ${LOGIC_SOURCES} src/platform/startup.cpp src/resources/version.rc)
target_include_directories(setup PRIVATE src)
target_compile_options(setup PRIVATE
    -Os -march=i486 -mtune=i486 -mpreferred-stack-boundary=2 -flto
    -ffreestanding -fno-builtin -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-stack-protector
    -fno-stack-check -mno-stack-arg-probe -fno-tree-loop-distribute-patterns
    -ffunction-sections -fdata-sections
    -Wall -Wextra)
target_link_options(setup PRIVATE
    -Os -march=i486 -flto -nostdlib -nostartfiles -static
    -Wl,-e,_WinMainCRTStartup
    -Wl,--subsystem,windows:4.0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--gc-sections -s
    -Wl,--file-alignment,512 -Wl,--section-alignment,4096
    -Wl,--disable-dynamicbase -Wl,--disable-nxcompat -Wl,--disable-reloc-section
    -Wl,--no-seh -Wl,--no-insert-timestamp
    -Wl,-T,${CMAKE_SOURCE_DIR}/cmake/setup.ld)
set_target_properties(setup PROPERTIES LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/setup.ld)
target_link_libraries(setup PRIVATE kernel32 user32)
set_target_properties(setup PROPERTIES OUTPUT_NAME setup)
include(e2e/e2e.cmake)

# Checks of the built executable, and the real program under Wine (ctest --preset win32).
enable_testing()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME setup_exe_fits_windows95_and_nt4
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check-exe $<TARGET_FILE:setup>)
add_test(NAME check_exe_rejects_what_it_is_for
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check-exe-selftest)

foreach(variant win95 win98 nt40)
    foreach(scenario complete slow-applet other-windows applet-exits no-rundll32 no-driver-folder)
        add_test(NAME wine_${variant}_${scenario}
                 COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/e2e/run_e2e.py ${variant}
                         --scenario ${scenario} --build ${CMAKE_BINARY_DIR})
        # One Wine prefix and one wineserver: the runs take turns.
        set_tests_properties(wine_${variant}_${scenario} PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 300)
    endforeach()
endforeach()
add_test(NAME wine_win98_early-end
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/e2e/run_e2e.py win98 --scenario early-end
                 --build ${CMAKE_BINARY_DIR})
add_test(NAME wine_runner_names_the_first_wrong_event
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/e2e/run_e2e.py win95 --scenario tampered-expectation
                 --build ${CMAKE_BINARY_DIR})
set_tests_properties(wine_win98_early-end wine_runner_names_the_first_wrong_event
                     PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 300)
set_tests_properties(wine_runner_names_the_first_wrong_event PROPERTIES
    PASS_REGULAR_EXPRESSION "FAIL: first event that differs, number 1: expected click secondDialog#101, got click firstDialog.page#1302")
