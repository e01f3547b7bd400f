# vbs_layer(TARGET FOLDER-COMPONENTS... [BACKEND components...] [USES targets...])
#
# One static library per layer of the source tree.  A component named in
# the first list is FOLDER/<name>.cpp; a component named after BACKEND is
# the backend file <os>/<name>_os.cpp of the operating system being built
# for (posix/ or win32/ inside the layer's folder).  USES names the layers
# below this one that it may call; nothing else is linked, so a call that
# runs upward fails to link.
function(vbs_layer target)
  cmake_parse_arguments(arg "" "" "BACKEND;USES" ${ARGN})
  set(sources "")
  foreach(name IN LISTS arg_UNPARSED_ARGUMENTS)
    list(APPEND sources ${name}.cpp)
  endforeach()
  foreach(name IN LISTS arg_BACKEND)
    list(APPEND sources ${VBS_OS}/${name}_os.cpp)
  endforeach()
  add_library(${target} STATIC ${sources})
  if(arg_USES)
    target_link_libraries(${target} PUBLIC ${arg_USES})
  endif()
  if(WIN32)
    # The fault guard (platform/fault_guard.h) throws at the faulting
    # instruction: the code that may run under it, every layer and whatever
    # links one, needs landing pads for every instruction that may fault,
    # not only for calls.
    target_compile_options(${target} PUBLIC -fnon-call-exceptions)
  endif()
endfunction()
