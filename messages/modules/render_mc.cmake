# render_mc.cmake - renders a message text file (messages/texts/*.def, one
# SAL_MESSAGE(code, "text") per line) into Message Compiler source for
# windmc.  Every code must carry the customer flag, which windmc -c sets.
# Lines end with CR LF, so that the compiled texts end with "\r\n" as the
# message formatter expects.
#
#   cmake -DINPUT=<file.def> -DOUTPUT=<file.mc> -P render_mc.cmake
cmake_minimum_required(VERSION 3.25)

file(READ "${INPUT}" content)
string(REPLACE ";" "<semicolon>" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

set(facilities "")
set(body "")
set(count 0)
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(NOT line MATCHES "^SAL_MESSAGE\\(")
    continue()
  endif()
  if(NOT line MATCHES "^SAL_MESSAGE\\((0x[0-9A-Fa-f]+), \"([^\"\\\\]*)\"\\)$")
    message(FATAL_ERROR "${INPUT}: not a plain SAL_MESSAGE(0x..., \"text\") line: ${line}")
  endif()
  set(code "${CMAKE_MATCH_1}")
  set(text "${CMAKE_MATCH_2}")
  if(text MATCHES "<semicolon>")
    message(FATAL_ERROR "${INPUT}: message texts hold no semicolon: ${line}")
  endif()
  math(EXPR customer "(${code} >> 29) & 1")
  if(NOT customer)
    message(FATAL_ERROR "${INPUT}: ${code} is not a product code (customer flag clear)")
  endif()
  math(EXPR severity "(${code} >> 30) & 3")
  math(EXPR facility "(${code} >> 16) & 4095")
  math(EXPR number "${code} & 65535" OUTPUT_FORMAT HEXADECIMAL)
  list(APPEND facilities ${facility})
  string(APPEND body
    "MessageId=${number}\r\nSeverity=S${severity}\r\nFacility=F${facility}\r\n"
    "Language=English\r\n${text}\r\n.\r\n\r\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${INPUT}: no SAL_MESSAGE line")
endif()

list(REMOVE_DUPLICATES facilities)
set(names "")
foreach(f IN LISTS facilities)
  math(EXPR hex "${f}" OUTPUT_FORMAT HEXADECIMAL)
  string(APPEND names " F${f}=${hex}")
endforeach()

file(WRITE "${OUTPUT}"
  "; Generated from ${INPUT} by render_mc.cmake - do not edit.\r\n"
  "MessageIdTypedef=DWORD\r\n"
  "SeverityNames=(S0=0x0 S1=0x1 S2=0x2 S3=0x3)\r\n"
  "FacilityNames=(${names} )\r\n"
  "LanguageNames=(English=0x409:MSG00409)\r\n\r\n"
  "${body}")
