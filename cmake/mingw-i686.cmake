# Cross build for 32-bit Windows with mingw-w64's GCC.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-gcc.cmake)

# CTest runs the cross-built test programs through Wine (scripts/wine-test-run).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test-run wine)
