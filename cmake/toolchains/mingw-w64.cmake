# What the two mingw-w64 toolchain files share. Each sets
# MSGREPORT_MINGW_TRIPLE and MSGREPORT_WINE_LOADER, then includes this file.
# The POSIX thread model of the compilers is the one GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MSGREPORT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MSGREPORT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MSGREPORT_MINGW_TRIPLE}-windres)

# Appended to, so that -DCMAKE_FIND_ROOT_PATH=<prefix> adds installed packages.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${MSGREPORT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under Wine. A build configured with an empty emulator
# (-DCMAKE_CROSSCOMPILING_EMULATOR=) runs no Windows program: it registers
# only the tests that read the built files.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MSGREPORT_WINE_LOADER})
endif()
