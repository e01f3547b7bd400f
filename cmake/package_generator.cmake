# CPack reads this file once per generator (CPACK_PROJECT_CONFIG_FILE in
# cmake/package.cmake): what differs between the .deb, the .tar.gz and the
# .zip.
if(CPACK_GENERATOR STREQUAL "DEB")
  # One package per component.  The binaries keep their debug information
  # until the DEB generator moves it into the -dbgsym packages (stripping
  # first would leave it nothing to move).
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING IGNORE)
  set(CPACK_STRIP_FILES OFF)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  # Two archives: the package and its debug files (the component groups).
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
  # Both unpack into the same top folder, each .debug file beside its binary.
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_STRIP_FILES ON)
else()
  # One archive of the whole tree.
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_STRIP_FILES ON)
endif()
