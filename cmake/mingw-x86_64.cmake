# Cross build for 64-bit Windows with mingw-w64's GCC (the tone library, its
# tests and tools; Dialler.exe itself stays 32-bit).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-gcc.cmake)

# CTest runs the cross-built test programs through 64-bit Wine (scripts/wine-test-run).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test-run /usr/lib/wine/wine64)
