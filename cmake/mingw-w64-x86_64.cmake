# Cross-compiles the Windows build with Debian's mingw-w64 (posix thread model, for std::thread in GoogleTest).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Debian's /usr/bin/wine is a wrapper that looks for a 32-bit Wine first and nags
# without it; the 64-bit loader (/usr/lib/wine/wine64 there) runs 64-bit console
# programs directly, so ctest and scripts/test.sh both use it.
find_program(SAYVANE_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine /opt/wine-stable/bin
  DOC "Wine loader that runs the cross-compiled tests")
if(SAYVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SAYVANE_WINE})
endif()
