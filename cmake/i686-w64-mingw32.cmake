# Cross build of the 32-bit plug-in DLL (the deliverable) with MinGW-w64.
# The -posix compilers provide std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VELMORA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Test programs run through 32-bit Wine inside the i386 user-mode emulator
# (scripts/wine32-env.sh prepares it), in a prefix inside the build folder.
set(VELMORA_WINE_ARCH 32)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine32-run.sh)
