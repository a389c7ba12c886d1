# Reads the export table of TarvVirtualComPort.dll with objdump -p and checks that it
# holds exactly the nine functions, each at its fixed ordinal.
# usage: cmake -DOBJDUMP=... -DDLL=... -P check_export_table.cmake
set(expected
  1 TarvVComInit
  2 TarvVComInstallAll
  3 TarvVComGetCOMPairCount
  4 TarvVComGetOneCOMPair
  5 TarvVComGetErrorDescription
  6 TarvVComInstall
  7 TarvVComRemove
  8 TarvVComCheckPortUse
  9 TarvVComClose)

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump -p ${DLL} failed")
endif()

string(REGEX MATCH "Ordinal Base[ \t]+([0-9]+)" _ "${dump}")
set(base ${CMAKE_MATCH_1})
if(NOT base EQUAL 1)
  message(FATAL_ERROR "ordinal base is '${base}', expected 1")
endif()

# Name table lines read "[   i] Name": i + base is the ordinal.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\][^\n]*\n)+)" _ "${dump}")
string(REGEX MATCHALL "\\[[ 0-9]+\\] [A-Za-z0-9_]+" entries "${CMAKE_MATCH_1}")
set(found "")
foreach(entry IN LISTS entries)
  string(REGEX MATCH "\\[ *([0-9]+)\\] ([A-Za-z0-9_]+)" _ "${entry}")
  math(EXPR ordinal "${CMAKE_MATCH_1} + ${base}")
  list(APPEND found ${ordinal} ${CMAKE_MATCH_2})
endforeach()

list(LENGTH found n)
if(NOT n EQUAL 18)
  message(FATAL_ERROR "expected 9 named exports, found: ${found}")
endif()
set(problems "")
list(LENGTH expected m)
math(EXPR last "${m} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET expected ${i} ordinal)
  list(GET expected ${j} name)
  list(FIND found ${name} at)
  if(at EQUAL -1)
    string(APPEND problems "${name} not exported\n")
  else()
    math(EXPR k "${at} - 1")
    list(GET found ${k} got)
    if(NOT got EQUAL ordinal)
      string(APPEND problems "${name} at ordinal ${got}, expected ${ordinal}\n")
    endif()
  endif()
endforeach()
if(problems)
  message(FATAL_ERROR "${problems}")
endif()
message(STATUS "TarvVirtualComPort.dll exports the nine functions at ordinals 1 to 9")
