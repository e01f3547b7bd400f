# The Windows zips (tests/install/CMakeLists.txt): made from this build and
# unpacked, then a C89 host built with this build's compiler against the
# mingw import library and a C library-free host compiled for the MSVC ABI
# and linked with lld-link against vortBexScanner.lib.  The x86_64 build runs
# both under Wine, in the zip's bin/ folder; the i686 build runs them under
# Wine's 32-bit loader (scripts/wine32.sh).
set(vbs_zip_args
  ${VBS_WINDOWS_ARCH}
  ${CMAKE_BINARY_DIR}
  ${CMAKE_BINARY_DIR}/package-test/zip
  ${CMAKE_CURRENT_SOURCE_DIR}/host
  ${PROJECT_SOURCE_DIR}/samples/demo.bex
  ${CMAKE_C_COMPILER}
  ${CMAKE_OBJDUMP}
  ${CMAKE_CPACK_COMMAND})
if(CMAKE_CROSSCOMPILING_EMULATOR)
  # The rest of the arguments is the toolchain's emulator, the command that
  # starts a Windows program under Wine (with its loader argument on i686).
  list(APPEND vbs_zip_args ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
set(vbs_zip_test sh ${CMAKE_CURRENT_SOURCE_DIR}/package_zip_test.sh)

add_test(NAME package_zip COMMAND ${vbs_zip_test} zip ${vbs_zip_args})
add_test(NAME package_zip_mingw_host COMMAND ${vbs_zip_test} mingw_host ${vbs_zip_args})
add_test(NAME package_zip_msvc_host COMMAND ${vbs_zip_test} msvc_host ${vbs_zip_args})
set_tests_properties(package_zip PROPERTIES FIXTURES_SETUP vbs_zip_unpacked)
set_tests_properties(package_zip_mingw_host package_zip_msvc_host PROPERTIES
  FIXTURES_REQUIRED vbs_zip_unpacked)
set_tests_properties(package_zip package_zip_mingw_host package_zip_msvc_host PROPERTIES
  SKIP_RETURN_CODE 77 LABELS install)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  # The hosts run in the Wine session of the build (tests/CMakeLists.txt).
  set_tests_properties(package_zip_mingw_host package_zip_msvc_host PROPERTIES
    FIXTURES_REQUIRED "vbs_zip_unpacked;vbs_wine")
endif()
