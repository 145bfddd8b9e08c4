# Cross-builds the Windows (32-bit x86) programs: scripts/build-windows.sh
# with SFX_WINDOWS_ARCH=i686. They are compiled and linked, not run: this
# machine kind cannot execute 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SFX_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwW64.cmake)
