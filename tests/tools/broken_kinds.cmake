# broken_kinds.cmake - bexscan over every fault kind that bexgen makes from the
# demo file: the read fails (exit 1, a message on standard error) or succeeds
# (exit 0) as the file format says, and never crashes.
# Arguments: BEXGEN, BEXSCAN (programs), WORK (scratch folder).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Kind and the exit status bexscan must give; "any" where the format leaves
# the reader free to reject the file or to read what it can.
set(cases
  empty 1
  three-bytes 1
  truncated 1
  bad-version 1
  version-above 1
  text-file 1
  header-length-short any
  header-length-long any
  header-length-huge 1
  early-length-long any
  early-length-short any
  maxusrgrp-minus2 1
  maxusrgrp-huge 1
  pmaxtra-minus2 1
  pmaxtra-huge 1
  pool-past-end 1
  pool-huge 1
  leading-past-end 1
  skipped-past-end 0
  name-stream-past-end 1
  value-stream-past-end 1
  value-stream-six 0
  name-shorter 0
  name-stream-empty 0
  value-stream-wraps 0
  tra-range-outside 0
  tra-range-reversed 0
  name-offsets-outside 0
  pool-unterminated 0
  trailing-garbage 0)

# Every kind that bexgen knows must be in the table above.
execute_process(COMMAND ${BEXGEN} broken --list OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "bexgen broken --list exited with ${rc}")
endif()
string(REGEX MATCHALL "(^|\n)[a-z0-9-]+" listed "${listing}")
set(problems "")
foreach(kind IN LISTS listed)
  string(STRIP "${kind}" kind)
  list(FIND cases ${kind} at)
  if(at EQUAL -1)
    string(APPEND problems "kind ${kind} has no expected status here\n")
  endif()
endforeach()

list(LENGTH cases n)
math(EXPR last "${n} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET cases ${i} kind)
  list(GET cases ${j} expect)
  set(file ${WORK}/${kind}.bex)
  execute_process(COMMAND ${BEXGEN} broken ${kind} ${file} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    string(APPEND problems "bexgen broken ${kind}: exit ${rc}: ${err}")
    continue()
  endif()
  execute_process(COMMAND ${BEXSCAN} ${file} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect STREQUAL "any")
    if(NOT rc STREQUAL "0" AND NOT rc STREQUAL "1")
      string(APPEND problems "${kind}: exit ${rc}, expected 0 or 1\n${err}")
    endif()
  elseif(NOT rc STREQUAL expect)
    string(APPEND problems "${kind}: exit ${rc}, expected ${expect}\n${err}")
  endif()
  if(rc STREQUAL "1" AND err STREQUAL "")
    string(APPEND problems "${kind}: failed without a message on standard error\n")
  endif()
  if(rc STREQUAL "0" AND NOT out MATCHES "user groups")
    string(APPEND problems "${kind}: succeeded without a report\n")
  endif()
endforeach()
if(NOT problems STREQUAL "")
  message(FATAL_ERROR "${problems}")
endif()
