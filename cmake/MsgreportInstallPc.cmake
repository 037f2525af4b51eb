# Run by `cmake --install`: writes msgreport.pc for the prefix being
# installed to, from MSGREPORT_PC_TEMPLATE, into MSGREPORT_PC_DIR (relative
# to the prefix, or absolute).
cmake_path(SET MSGREPORT_INSTALLED_PREFIX NORMALIZE "${CMAKE_INSTALL_PREFIX}")
# No trailing slash, so that "${prefix}/lib" stays clean, "/" included.
string(REGEX REPLACE "/$" "" MSGREPORT_INSTALLED_PREFIX
  "${MSGREPORT_INSTALLED_PREFIX}")
set(pc_dir "${MSGREPORT_PC_DIR}")
if(NOT IS_ABSOLUTE "${pc_dir}")
  set(pc_dir "${MSGREPORT_INSTALLED_PREFIX}/${pc_dir}")
endif()
message(STATUS "Installing: $ENV{DESTDIR}${pc_dir}/msgreport.pc")
configure_file("${MSGREPORT_PC_TEMPLATE}" "$ENV{DESTDIR}${pc_dir}/msgreport.pc"
  @ONLY)
# configure_file does not list what it writes, as install() does.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${pc_dir}/msgreport.pc")
