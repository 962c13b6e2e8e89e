// The program's own GUI start-up: no C runtime is linked into setup.exe.
#include "platform/run_process.h"
#include "platform/win32_api.h"

extern "C" void WinMainCRTStartup() { RunProcess(GetModuleHandleA(0)); }

// GCC may emit calls to these for structure copies and zero-filling.
extern "C" void* memset(void* destination, int value, size_t count) {
    unsigned char* bytes = (unsigned char*)destination;
    while (count--) *bytes++ = (unsigned char)value;
    return destination;
}

extern "C" void* memcpy(void* destination, const void* source, size_t count) {
    unsigned char* to = (unsigned char*)destination;
    const unsigned char* from = (const unsigned char*)source;
    while (count--) *to++ = *from++;
    return destination;
}
