# Install rules: the public header, the library (on Windows the DLL and its
# import libraries), its companion modules, bexscan and bexgen, a CMake
# package and a pkg-config file.
#
#   cmake --install <build> --prefix <dir>
#
# A host then finds the library with find_package(vortBexScanner) (target
# vortBexScanner::vortBexScanner) or pkg-config --cflags --libs vortBexScanner.
#
# Linux:    lib/<multiarch>/libvortBexScanner.so.1 (and its links), the
#           companion modules in the library's private folder
#           lib/<multiarch>/vortBexScanner/, bin/bexscan, bin/bexgen
# Windows:  bin/vortBexScanner.dll with the companion DLLs beside it (the DLL
#           search order finds them there), bin/bexscan.exe, bin/bexgen.exe,
#           lib/libvortBexScanner.dll.a (mingw), lib/vortBexScanner.lib
#           (Microsoft's linker), lib/vortBexScanner.def
#
# Components, which the packages (cmake/package.cmake) follow: Runtime (the
# library and its companions), Development (header, link-time files,
# package files), Tools (bexscan, bexgen) and, on Windows, Debug (the
# .debug files of cmake/debug_files.cmake).

include(CMakePackageConfigHelpers)

set(VBS_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/vortBexScanner
    CACHE STRING "Where the CMake package files of vortBexScanner go")

install(FILES ${PROJECT_SOURCE_DIR}/include/vortBexScanner.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)

# The folder of the companion modules: beside the DLL on Windows; on Linux
# the library's private folder, named after it without "lib", where the
# library looks for them (platform/message_table.h, CompanionFolder).  The
# library's language.ini (docs/messages.md) belongs there too.
if(WIN32)
  set(VBS_INSTALL_COMPANIONDIR ${CMAKE_INSTALL_BINDIR})
else()
  set(VBS_INSTALL_COMPANIONDIR ${CMAKE_INSTALL_LIBDIR}/vortBexScanner)
endif()

if(TARGET vortBexScanner)
  install(TARGETS vortBexScanner EXPORT vortBexScannerTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime
            NAMELINK_COMPONENT Development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(EXPORT vortBexScannerTargets
    NAMESPACE vortBexScanner::
    DESTINATION ${VBS_INSTALL_CMAKEDIR}
    COMPONENT Development)
  # The same name inside this build, for projects that add it as a subfolder.
  add_library(vortBexScanner::vortBexScanner ALIAS vortBexScanner)
  if(WIN32)
    install(FILES ${PROJECT_SOURCE_DIR}/library/vortBexScanner.def
      DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
    if(VBS_MSVC_IMPORT_LIBRARY)
      install(FILES ${VBS_MSVC_IMPORT_LIBRARY}
        DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
    endif()
  endif()
endif()

install(TARGETS ${VBS_COMPANION_MODULES}
  LIBRARY DESTINATION ${VBS_INSTALL_COMPANIONDIR} COMPONENT Runtime
  RUNTIME DESTINATION ${VBS_INSTALL_COMPANIONDIR} COMPONENT Runtime)

# bexscan inspects a file through the library; bexgen writes sample,
# synthetic and deliberately broken files for testing a host.
foreach(vbs_tool bexscan bexgen)
  if(NOT TARGET ${vbs_tool})
    continue()
  endif()
  if(NOT WIN32 AND vbs_tool STREQUAL "bexscan")
    # The installed bexscan finds the installed library wherever the tree lies.
    file(RELATIVE_PATH vbs_bin_to_lib
      /vbs/${CMAKE_INSTALL_BINDIR} /vbs/${CMAKE_INSTALL_LIBDIR})
    set_target_properties(${vbs_tool} PROPERTIES INSTALL_RPATH "$ORIGIN/${vbs_bin_to_lib}")
  endif()
  install(TARGETS ${vbs_tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Tools)
endforeach()

if(WIN32)
  # The debug files of cmake/debug_files.cmake, beside their binaries.
  foreach(vbs_target vortBexScanner ${VBS_COMPANION_MODULES} bexscan bexgen)
    install(FILES $<TARGET_FILE:${vbs_target}>.debug
      DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Debug EXCLUDE_FROM_ALL)
  endforeach()
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
  DESTINATION ${VBS_INSTALL_CMAKEDIR}
  COMPONENT Development)

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
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
