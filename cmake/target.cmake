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
