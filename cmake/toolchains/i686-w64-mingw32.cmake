# Cross-compiles the 32-bit Windows build with mingw-w64; tests run under
# Wine's 32-bit loader, which the `wine` command starts.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MSGREPORT_MINGW_TRIPLE i686-w64-mingw32)
set(MSGREPORT_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
