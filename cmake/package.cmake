# Packages of the installed tree, made by cpack from a build folder (or the
# package presets, CMakePresets.json):
#
#   Linux    .deb  libvortbexscanner1      the library and its companion
#                                          modules (component Runtime)
#                  libvortbexscanner-dev   header, link, CMake and pkg-config
#                                          files (Development)
#                  vortbexscanner-tools    bexscan and bexgen (Tools)
#                  and a -dbgsym .ddeb of the first and the last with the
#                  debug information that the .debs lack
#            .tar.gz  everything, stripped, relocatable
#   Windows  .zip  vortBexScanner-<version>-win32 (or win64): everything,
#                  stripped; ...-debug.zip: the .debug files
#
# Release builds are RelWithDebInfo (-O2 -g, as Debian builds): the
# packages strip the binaries, and the debug information goes into the
# -dbgsym package or the debug zip.  cmake/package_generator.cmake sets
# what differs per generator.

set(VBS_PACKAGE_CONTACT "vortBexScanner maintainers <maintainers@vortbexscanner.invalid>"
    CACHE STRING "Maintainer of the packages: name <address>")

set(CPACK_PACKAGE_NAME vortBexScanner)
set(CPACK_PACKAGE_VENDOR "vortBexScanner developers")
set(CPACK_PACKAGE_CONTACT "${VBS_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The common part of each package's description.  (No package summary: the
# DEB generator would put it above every package's own first line.)
set(vbs_about "vortBexScanner reads Bex files, the compiled form of a load-test
script, and lets a host program walk what the script declares without
running it: the format version and global flags, the benchmark name, the
user groups with their values and attributes, and per user-group node the
transaction calls, through fourteen plain C functions.")
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
if(WIN32)
  if(VBS_WINDOWS_ARCH STREQUAL x86_64)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_COMPONENTS_ALL Runtime Development Tools Debug)
else()
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_COMPONENTS_ALL Runtime Development Tools)
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(VBS_PACKAGE_SYSTEM ${CPACK_SYSTEM_NAME})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_generator.cmake)

# The zips: one archive of everything but the debug files, one of those.
set(CPACK_ARCHIVE_PACKAGE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
set(CPACK_ARCHIVE_DEBUGFILES_FILE_NAME ${CPACK_PACKAGE_FILE_NAME}-debug)

# Debian: one package per component, named as Debian names a shared library
# (the soname's name and major version), its development files and tools.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# bexscan's library is in another of these packages, which dpkg-shlibdeps
# knows nothing of: it finds the library in the build folder, and the
# dependency on its package comes from the components' dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/library)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libvortbexscanner${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_DEBUGINFO_PACKAGE ON)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libvortbexscanner-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME vortbexscanner-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOLS_DEBUGINFO_PACKAGE ON)
# A shlibs file, so that packages built against the library depend on it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg runs ldconfig once after all packages of a run through this trigger.
# (The DEB generator also writes postinst and postrm scripts that call it.)
file(WRITE ${PROJECT_BINARY_DIR}/packaging/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/triggers)

include(CPack)

cpack_add_component_group(Package)
cpack_add_component_group(DebugFiles)
# First line: the package's synopsis; then paragraphs, wrapped.
cpack_add_component(Runtime DISPLAY_NAME "Library" GROUP Package
  DESCRIPTION "reader library for Bex files (compiled load-test scripts)
${vbs_about}

This package holds the shared library and its companion modules (message
texts, German texts, shared strings).")
cpack_add_component(Development DISPLAY_NAME "Development files" GROUP Package DEPENDS Runtime
  DESCRIPTION "reader library for Bex files - development files
${vbs_about}

This package holds the C header, the link to the library and the
pkg-config and CMake package files.")
cpack_add_component(Tools DISPLAY_NAME "Tools" GROUP Package DEPENDS Runtime
  DESCRIPTION "reader library for Bex files - command-line tools
${vbs_about}

This package holds bexscan, which prints what a Bex file declares (as text
or JSON), and bexgen, which writes sample, synthetic and deliberately
broken Bex files for testing a host program.")
cpack_add_component(Debug DISPLAY_NAME "Debug files" GROUP DebugFiles)

# What a package carries besides the installed tree.
if(WIN32)
  if(VBS_WINDOWS_ARCH STREQUAL x86_64)
    set(VBS_PACKAGE_ARCH "x86_64 (64-bit)")
  else()
    set(VBS_PACKAGE_ARCH "i686 (32-bit)")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows-readme.txt
    ${PROJECT_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE WIN32)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt
    DESTINATION . COMPONENT Runtime EXCLUDE_FROM_ALL)
else()
  # Each .deb has its copyright file and its changelog.  Only packages made
  # per component carry them: a full install or the .tar.gz does not.
  find_program(VBS_GZIP gzip)
  set(vbs_changelog ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz)
  if(VBS_GZIP)
    execute_process(COMMAND ${VBS_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/changelog.Debian
      OUTPUT_FILE ${vbs_changelog} RESULT_VARIABLE vbs_gzip_result)
  endif()
  foreach(vbs_component Runtime Development Tools)
    string(TOUPPER ${vbs_component} vbs_upper)
    set(vbs_doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${vbs_upper}_PACKAGE_NAME})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
      DESTINATION ${vbs_doc} COMPONENT ${vbs_component} EXCLUDE_FROM_ALL)
    if(EXISTS ${vbs_changelog} AND vbs_gzip_result EQUAL 0)
      install(FILES ${vbs_changelog}
        DESTINATION ${vbs_doc} COMPONENT ${vbs_component} EXCLUDE_FROM_ALL)
    endif()
  endforeach()
endif()
