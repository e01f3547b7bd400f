# Install rules: the public header, the library (on Windows the DLL and its
# import library), bexscan, a CMake package and a pkg-config file.
#
#   cmake --install <build> --prefix <dir>
#
# A host then finds the library with find_package(vortBexScanner) (target
# vortBexScanner::vortBexScanner) or pkg-config --cflags --libs vortBexScanner.

include(CMakePackageConfigHelpers)

set(VBS_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/vortBexScanner
    CACHE STRING "Where the CMake package files of vortBexScanner go")

install(FILES ${PROJECT_SOURCE_DIR}/include/vortBexScanner.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

if(TARGET vortBexScanner)
  install(TARGETS vortBexScanner EXPORT vortBexScannerTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(EXPORT vortBexScannerTargets
    NAMESPACE vortBexScanner::
    DESTINATION ${VBS_INSTALL_CMAKEDIR})
  # The same name inside this build, for projects that add it as a subfolder.
  add_library(vortBexScanner::vortBexScanner ALIAS vortBexScanner)
endif()

if(TARGET bexscan)
  if(NOT WIN32)
    # The installed bexscan finds the installed library beside it.
    file(RELATIVE_PATH vbs_bin_to_lib
      /vbs/${CMAKE_INSTALL_BINDIR} /vbs/${CMAKE_INSTALL_LIBDIR})
    set_target_properties(bexscan PROPERTIES INSTALL_RPATH "$ORIGIN/${vbs_bin_to_lib}")
  endif()
  install(TARGETS bexscan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/vortBexScannerConfig.cmake.in
  ${PROJECT_BINARY_DIR}/vortBexScannerConfig.cmake
  INSTALL_DESTINATION ${VBS_INSTALL_CMAKEDIR})
# Same major version, same pointer width (a 64-bit host refuses the 32-bit DLL).
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/vortBexScannerConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/vortBexScannerConfig.cmake
  ${PROJECT_BINARY_DIR}/vortBexScannerConfigVersion.cmake
  DESTINATION ${VBS_INSTALL_CMAKEDIR})

# The .pc file locates the prefix from its own folder, so the tree stays valid
# wherever `cmake --install --prefix` puts it.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(VBS_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(VBS_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(VBS_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
  file(RELATIVE_PATH vbs_pc_to_prefix /vbs/${CMAKE_INSTALL_LIBDIR}/pkgconfig /vbs)
  string(REGEX REPLACE "/$" "" vbs_pc_to_prefix "${vbs_pc_to_prefix}")
  set(VBS_PC_PREFIX "\${pcfiledir}/${vbs_pc_to_prefix}")
  set(VBS_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  set(VBS_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/vortBexScanner.pc.in
  ${PROJECT_BINARY_DIR}/vortBexScanner.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/vortBexScanner.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
