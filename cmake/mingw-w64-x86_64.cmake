# Cross-builds the Windows (x86-64) programs: scripts/build-windows.sh.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SFX_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwW64.cmake)
