# Shared part of both toolchain files; KANNE_TRIPLET names the target.
# The -win32 compilers are named explicitly: the posix flavour would pull in winpthread.
set(CMAKE_C_COMPILER ${KANNE_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KANNE_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${KANNE_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KANNE_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests are Windows programs; on Linux they run under the 64-bit Wine loader.
if(KANNE_TRIPLET STREQUAL "x86_64-w64-mingw32")
  find_program(KANNE_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
  if(KANNE_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KANNE_WINE64})
  endif()
endif()
