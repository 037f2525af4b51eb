# Installs the header, the shared library, msgcheck, a CMake package
# (find_package(msgreport CONFIG) -> msgreport::msgreport, msgreport::msgcheck
# and msgreport_add_catalogue), msgreport.pc and the licence.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Installed programs and the library find the library relative to where
# they lie, so that any prefix works without LD_LIBRARY_PATH.
if(NOT WIN32 AND NOT APPLE)
  file(RELATIVE_PATH msgreport_bin_to_lib
    "/root/${CMAKE_INSTALL_BINDIR}" "/root/${CMAKE_INSTALL_LIBDIR}")
  set_target_properties(msgreport PROPERTIES INSTALL_RPATH "$ORIGIN")
  set_target_properties(msgreport_msgcheck PROPERTIES
    INSTALL_RPATH "$ORIGIN/${msgreport_bin_to_lib}")
endif()

install(TARGETS msgreport EXPORT msgreportTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES include/msgreport.h include/msgreport_checked.h
  include/msgreport_locale.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
set_target_properties(msgreport_msgcheck PROPERTIES EXPORT_NAME msgcheck)
install(TARGETS msgreport_msgcheck EXPORT msgreportTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(MSGREPORT_RUNTIME_DLLS)
  install(FILES ${MSGREPORT_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(MSGREPORT_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/msgreport)
install(EXPORT msgreportTargets
  NAMESPACE msgreport::
  DESTINATION ${MSGREPORT_CMAKE_DIR})
configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/msgreportConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/msgreportConfig.cmake
  INSTALL_DESTINATION ${MSGREPORT_CMAKE_DIR})
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/msgreportConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_LIST_DIR}/MsgreportCatalogue.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/msgreportConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/msgreportConfigVersion.cmake
  DESTINATION ${MSGREPORT_CMAKE_DIR})

# The .pc file names the prefix it is installed under, as the installation
# knows it (`cmake --install --prefix` included), so that pkg-config hands
# out clean paths: the file is made when it is installed.
set(MSGREPORT_PC_PREFIX "@MSGREPORT_INSTALLED_PREFIX@")
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(MSGREPORT_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
  set(MSGREPORT_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(MSGREPORT_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
else()
  set(MSGREPORT_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/msgreport.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/msgreport.pc.in @ONLY)
install(CODE "
  set(MSGREPORT_PC_TEMPLATE \"${CMAKE_CURRENT_BINARY_DIR}/msgreport.pc.in\")
  set(MSGREPORT_PC_DIR \"${CMAKE_INSTALL_LIBDIR}/pkgconfig\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/MsgreportInstallPc.cmake\")")
