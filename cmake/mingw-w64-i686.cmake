# Cross-compiles the 32-bit Windows build (the character control exists only as a 32-bit
# in-process control, so this is the build that can talk to it).
set(SAYVANE_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
