# demo_reproduces.cmake - `bexgen demo` must write the shipped sample byte for byte.
# Arguments: BEXGEN (program), SAMPLE (samples/demo.bex), WORK (scratch folder).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${BEXGEN} demo ${WORK}/demo.bex RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "bexgen demo exited with ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/demo.bex ${SAMPLE}
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  file(SIZE ${WORK}/demo.bex new_size)
  file(SIZE ${SAMPLE} sample_size)
  message(FATAL_ERROR "bexgen demo (${new_size} bytes) differs from ${SAMPLE} (${sample_size} bytes); "
                      "regenerate the sample only when the demo changed on purpose")
endif()
