# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread
# flavour, which std::thread and std::mutex need). The runtime is linked
# statically so the programs run on a bare Windows without MinGW's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTREL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTREL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTREL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTREL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest runs the test programs through Wine.
find_program(KESTREL_WINE NAMES wine wine64)
if(KESTREL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTREL_WINE})
endif()
