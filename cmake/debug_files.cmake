# vbs_separate_debug(TARGET): on Windows, the debug information of a shipped
# binary also goes into a file of its own, TARGET_FILE.debug beside it, and
# the binary names that file in a .gnu_debuglink section.  The packages
# strip the binaries they ship and carry the .debug files in a debug archive
# of their own; gdb finds such a file beside the binary.  (mingw-w64 writes
# DWARF, not PDB files.)  Linux packages split their debug information when
# the .deb is made (a -dbgsym package), so nothing happens there.
function(vbs_separate_debug target)
  if(NOT WIN32)
    return()
  endif()
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "objcopy is needed to write the debug file of ${target}")
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --remove-section=.gnu_debuglink
            --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
