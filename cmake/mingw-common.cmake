# Shared by both MinGW-w64 toolchain files; VELMORA_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER   ${VELMORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VELMORA_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# C99 printf semantics for vsnprintf (StrFormat measures with a null buffer).
# The oldest Windows the DLL runs on is Vista (0x0600): the newest function it
# and the threads library import, GetTickCount64, came with it. Declaring
# that version hides every newer API from the headers, so none can creep in.
set(VELMORA_WINDOWS_VERSION "-D_WIN32_WINNT=0x0600 -DWINVER=0x0600")
set(CMAKE_C_FLAGS_INIT   "-D__USE_MINGW_ANSI_STDIO=1 ${VELMORA_WINDOWS_VERSION}")
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1 ${VELMORA_WINDOWS_VERSION}")
# The runtime is linked in: programs and the DLL import only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
