# Cross-compiles the 64-bit Windows build, the one the tests run under Wine.
set(SAYVANE_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# Debian's /usr/bin/wine is a wrapper that looks for a 32-bit Wine first and nags
# without it; the 64-bit loader (/usr/lib/wine/wine64 there) runs 64-bit console
# programs directly, so ctest and scripts/test.sh both use it.
find_program(SAYVANE_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine /opt/wine-stable/bin
  DOC "Wine loader that runs the cross-compiled tests")
if(SAYVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SAYVANE_WINE})
endif()
