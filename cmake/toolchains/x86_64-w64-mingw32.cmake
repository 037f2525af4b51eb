# Cross-compiles the 64-bit Windows build with mingw-w64; tests run under
# Wine's 64-bit loader. Debian keeps it out of PATH, in /usr/lib/wine, and
# its `wine` command would try the 32-bit loader first, which a machine
# without 32-bit support cannot start.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MSGREPORT_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(MSGREPORT_WINE_LOADER NAMES wine64 wine HINTS /usr/lib/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
