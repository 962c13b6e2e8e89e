# setup.exe: freestanding, for a 486 running Windows 95 or NT 4.
enable_language(RC)

# setup.exe and its logging twin setuplog.exe, linked alike from the same logic.
function(freestanding_exe name resource)
    add_executable(${name} WIN32 ${LOGIC_SOURCES} ${ARGN} src/platform/startup.cpp ${resource})
    target_include_directories(${name} PRIVATE src)
    target_compile_options(${name} PRIVATE
        -Os -march=i486 -mtune=i486 -mpreferred-stack-boundary=2 -flto
        -ffreestanding -fno-builtin -fno-exceptions -fno-rtti -fno-threadsafe-statics
        -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-stack-protector
        -fno-stack-check -mno-stack-arg-probe -fno-tree-loop-distribute-patterns
        -ffunction-sections -fdata-sections
        -Wall -Wextra)
    target_link_options(${name} PRIVATE
        -Os -march=i486 -flto -nostdlib -nostartfiles -static
        -Wl,-e,_WinMainCRTStartup
        -Wl,--subsystem,windows:4.0
        -Wl,--major-os-version,4 -Wl,--minor-os-version,0
        -Wl,--gc-sections -s
        -Wl,--file-alignment,512 -Wl,--section-alignment,4096
        -Wl,--disable-dynamicbase -Wl,--disable-nxcompat -Wl,--disable-reloc-section
        -Wl,--no-seh -Wl,--no-insert-timestamp
        -Wl,-T,${CMAKE_SOURCE_DIR}/cmake/setup.ld)
    set_target_properties(${name} PROPERTIES LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/setup.ld OUTPUT_NAME ${name})
    target_link_libraries(${name} PRIVATE kernel32 user32)
endfunction()

freestanding_exe(setup src/resources/version.rc)
if(SETUP_WITH_TWIN)
    freestanding_exe(setuplog src/resources/version_log.rc ${LOG_LAYER_SOURCES})
    target_compile_definitions(setuplog PRIVATE SETUP_LOG)
endif()

if(NOT SETUP_WITH_TWIN)
    return()
endif()
include(e2e/e2e.cmake)

# Checks of the built executable, and the real program under Wine (ctest --preset win32).
enable_testing()
# Every script of the tests runs with the system interpreter: the executable
# checker reads PE files with Debian's python3-pefile, which only it sees, and
# the runs under Wine may run in tools/wine-machine's guest, which has no other.
set(SYSTEM_PYTHON /usr/bin/python3)
# What needs Wine is labelled wine: ./run-tests runs it in tools/wine-machine's
# guest where this kernel runs no 32-bit programs. A hard limit there is longer
# (e2e/wine_host.py), and the test's own limit must outlast it.
set(WINE_TEST_TIMEOUT 900)
add_test(NAME setup_exe_fits_windows95_and_nt4
         COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tools/check-exe $<TARGET_FILE:setup>)
add_test(NAME setuplog_exe_fits_windows95_and_nt4
         COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tools/check-exe --program setuplog.exe $<TARGET_FILE:setuplog>)
# setup.exe carries nothing of its twin: built from the sources without them, it is the same file.
add_test(NAME setup_exe_is_the_same_without_the_twin
         COMMAND ${CMAKE_SOURCE_DIR}/tests/setup-exe-without-the-twin $<TARGET_FILE:setup>)
add_test(NAME check_exe_rejects_what_it_is_for
         COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tools/check-exe-selftest)
# Bare roots of the other release: refusals, a failing command and Ctrl-C, on a
# small root made from this machine's own programs.
add_test(NAME fresh_debian_leaves_nothing_behind COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tools/fresh-debian-test)
# The emulated PC that runs the Wine tests where this kernel cannot: refusals, a
# failing command, the time limit and Ctrl-C. Run by ./run-tests only where it
# uses that PC, on the guest of this machine's release.
add_test(NAME wine_machine_leaves_nothing_running
         COMMAND sh -c ". ${CMAKE_SOURCE_DIR}/tools/steps.sh && ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tools/wine-machine-test \"$(wine_guest_release)\"")
set_tests_properties(wine_machine_leaves_nothing_running PROPERTIES LABELS emulated-pc TIMEOUT 1800)

# Each run under Wine saves what the applet saw; the agreement tests run the same
# scenario on the simulator (the host preset's simrun) and compare the two.
set(E2E_EVENTS ${CMAKE_BINARY_DIR}/e2e-events)
file(MAKE_DIRECTORY ${E2E_EVENTS})
set(SIMRUN ${CMAKE_SOURCE_DIR}/build/host/simrun)

function(wine_test variant scenario)
    set(name wine_${variant}_${scenario})
    add_test(NAME ${name}
             COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/e2e/run_e2e.py ${variant} --scenario ${scenario}
                     --build ${CMAKE_BINARY_DIR} --save-events ${E2E_EVENTS}/${variant}_${scenario}.json)
    # One Wine prefix and one wineserver: the runs take turns.
    set_tests_properties(${name} PROPERTIES LABELS wine RESOURCE_LOCK wineprefix TIMEOUT ${WINE_TEST_TIMEOUT}
                                             FIXTURES_SETUP ${name} SKIP_RETURN_CODE 77)
endfunction()

function(agreement_test variant scenario)
    add_test(NAME agree_${variant}_${scenario}
             COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/e2e/agree.py ${E2E_EVENTS}/${variant}_${scenario}.json
                     --simrun ${SIMRUN})
    set_tests_properties(agree_${variant}_${scenario} PROPERTIES LABELS "wine;agreement"
                         FIXTURES_REQUIRED wine_${variant}_${scenario} SKIP_RETURN_CODE 77)
endfunction()

foreach(variant win95 win98 nt40)
    foreach(scenario complete slow-applet other-windows applet-exits no-rundll32 no-driver-folder)
        wine_test(${variant} ${scenario})
    endforeach()
    foreach(scenario complete slow-applet other-windows applet-exits)
        agreement_test(${variant} ${scenario})
    endforeach()
endforeach()
wine_test(win98 early-end)
agreement_test(win98 early-end)

add_test(NAME wine_runner_names_the_first_wrong_event
         COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/e2e/run_e2e.py win95 --scenario tampered-expectation
                 --build ${CMAKE_BINARY_DIR})
set_tests_properties(wine_runner_names_the_first_wrong_event PROPERTIES LABELS wine RESOURCE_LOCK wineprefix
    TIMEOUT ${WINE_TEST_TIMEOUT}
    SKIP_RETURN_CODE 77 PASS_REGULAR_EXPRESSION "FAIL: first event that differs, number 1: expected click secondDialog#101, got click firstDialog.page#1302")

# The driver medium: the sample driver on a floppy and a CD image, checked and
# read back, and setup.exe run from each as drive A: and D: under Wine.
set(MEDIUM ${CMAKE_BINARY_DIR}/medium)
foreach(check readback reproducible refusals)
    add_test(NAME medium_${check} COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make-medium-test ${check}
                                          $<TARGET_FILE:setup>)
endforeach()
add_test(NAME medium_readback_with_log COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make-medium-test readback
                                               $<TARGET_FILE:setup> $<TARGET_FILE:setuplog>)
add_test(NAME medium_sample_images
         COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=946684800
                 ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/tools/make-medium --exe $<TARGET_FILE:setup>
                 --with-log $<TARGET_FILE:setuplog>
                 --win9x ${CMAKE_SOURCE_DIR}/e2e/sample-driver/Win9x --nt4 ${CMAKE_SOURCE_DIR}/e2e/sample-driver/WinNT4
                 --floppy ${MEDIUM}/sample-floppy.img --iso ${MEDIUM}/sample-cd.iso)
set_tests_properties(medium_sample_images PROPERTIES FIXTURES_SETUP medium_sample)
file(MAKE_DIRECTORY ${MEDIUM})
foreach(variant win95 win98 nt40)
    foreach(medium floppy cd)
        set(image ${MEDIUM}/sample-floppy.img)
        if(medium STREQUAL cd)
            set(image ${MEDIUM}/sample-cd.iso)
        endif()
        # setup.exe, and its logging twin SETUPLOG.EXE beside it.
        foreach(twin "" --twin)
            set(name wine_${variant}_from-${medium})
            if(twin)
                set(name wine_twin_${variant}_from-${medium})
            endif()
            add_test(NAME ${name}
                     COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/e2e/run_e2e.py ${variant} --${medium} ${image}
                             --build ${CMAKE_BINARY_DIR} ${twin})
            set_tests_properties(${name} PROPERTIES LABELS wine RESOURCE_LOCK wineprefix TIMEOUT ${WINE_TEST_TIMEOUT}
                                 FIXTURES_REQUIRED medium_sample SKIP_RETURN_CODE 77)
        endforeach()
    endforeach()
endforeach()
# The twin killed during a wait that would last an hour: a small log that ends with the wait.
add_test(NAME wine_twin_win95_long-wait
         COMMAND ${SYSTEM_PYTHON} ${CMAKE_SOURCE_DIR}/e2e/run_e2e.py win95 --twin --scenario long-wait
                 --hard-limit 15 --build ${CMAKE_BINARY_DIR})
set_tests_properties(wine_twin_win95_long-wait PROPERTIES LABELS wine RESOURCE_LOCK wineprefix
                     TIMEOUT ${WINE_TEST_TIMEOUT} SKIP_RETURN_CODE 77)
