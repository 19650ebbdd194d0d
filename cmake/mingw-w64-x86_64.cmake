# Cross-building the native 64-bit Windows programs with Debian's mingw-w64 (the POSIX
# thread model, which std::thread and GoogleTest need). The programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's wine64 package installs the loader outside PATH.
find_program(VELMORA_WINE wine64 PATHS /usr/lib/wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMORA_WINE})
