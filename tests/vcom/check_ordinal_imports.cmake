# Reads a program's import table with objdump -p and checks that it binds every function
# of TarvVirtualComPort.dll by ordinal (no import by name).
# usage: cmake -DOBJDUMP=... -DPROGRAM=... -P check_ordinal_imports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump -p ${PROGRAM} failed")
endif()
# The block of one DLL: its name line, the column heads, one line per import, a blank line.
string(REGEX MATCH "DLL Name: TarvVirtualComPort\\.dll\n[^\n]*\n(([ \t]+[0-9a-fA-F]+[^\n]*\n)*)" _ "${dump}")
set(imports "${CMAKE_MATCH_1}")
if(imports STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} imports nothing from TarvVirtualComPort.dll")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${imports}")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "<none>")
    message(FATAL_ERROR "import by name from TarvVirtualComPort.dll: ${line}")
  endif()
endforeach()
list(LENGTH lines n)
message(STATUS "${PROGRAM}: ${n} functions of TarvVirtualComPort.dll bound by ordinal")
