# Checks Stats.dll as the host sees it: twenty export names, each plain name on the same
# address as its decorated name, and imports from system DLLs only (no MinGW runtime).
# One more name, SetTourClock0, is for stand-in hosts: plain only, on an address of its own.
# Usage: cmake -DDLL=Stats.dll -DOBJDUMP=objdump -P CheckDll.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

set(allowed KERNEL32.DLL MSVCRT.DLL USER32.DLL GDI32.DLL COMCTL32.DLL)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" name "${line}")
  string(TOUPPER "${name}" upper)
  if(NOT upper IN_LIST allowed)
    message(FATAL_ERROR "Stats.dll imports ${name}, which is not a system DLL")
  endif()
  message(STATUS "imports ${name}")
endforeach()

# Export Address Table lines: "[   3] +base[   4] 30d0 Export RVA"
string(REGEX MATCHALL "\\[ *[0-9]+\\] \\+base\\[ *[0-9]+\\] [0-9a-f]+ Export RVA" eat "${dump}")
foreach(line IN LISTS eat)
  string(REGEX REPLACE "\\[ *([0-9]+)\\].* ([0-9a-f]+) Export RVA" "\\1;\\2" pair "${line}")
  list(GET pair 0 ordinal)
  list(GET pair 1 rva)
  set(rva_${ordinal} ${rva})
endforeach()

# Name table lines: "[  10] AddData0"
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" at)
string(SUBSTRING "${dump}" ${at} -1 names_part)
string(FIND "${names_part}" "\n\n" end)
string(SUBSTRING "${names_part}" 0 ${end} names_part)
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" names "${names_part}")
set(count 0)
foreach(line IN LISTS names)
  string(REGEX REPLACE "\\[ *([0-9]+)\\] (.+)" "\\1;\\2" pair "${line}")
  list(GET pair 0 ordinal)
  list(GET pair 1 name)
  string(MAKE_C_IDENTIFIER "${name}" key)
  set(address_${key} ${rva_${ordinal}})
  math(EXPR count "${count} + 1")
endforeach()
if(NOT count EQUAL 21)
  message(FATAL_ERROR "Stats.dll exports ${count} names, not 20 for the host and SetTourClock0")
endif()

set(pairs
  "AddData0=?AddData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z"
  "RemoveData0=?RemoveData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z"
  "ResetStats0=?ResetStats0@@YAHPBDH0PAVCOleDateTime@@10000000000HHHNN000@Z"
  "CheckCall0=?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z"
  "GetResult0=?GetResult0@@YAPBDPAH@Z"
  "GetNumberOfSets=?GetNumberOfSets@@YAHXZ"
  "GetSetName=?GetSetName@@YAPBDH@Z"
  "SetupSet0=?SetupSet0@@YAXXZ"
  "GetExchgCount0=?StatsGetExchgCount0@@YAHPBD00@Z"
  "IsValidExchg0=?StatsIsValidExchg0@@YAHPBD000HHH@Z")
set(seen_addresses "")
foreach(pair IN LISTS pairs)
  string(FIND "${pair}" "=" eq)
  string(SUBSTRING "${pair}" 0 ${eq} plain)
  math(EXPR from "${eq} + 1")
  string(SUBSTRING "${pair}" ${from} -1 decorated)
  string(MAKE_C_IDENTIFIER "${plain}" plain_key)
  string(MAKE_C_IDENTIFIER "${decorated}" decorated_key)
  set(a "${address_${plain_key}}")
  set(b "${address_${decorated_key}}")
  if(a STREQUAL "" OR NOT a STREQUAL b)
    message(FATAL_ERROR "${plain} (${a}) and ${decorated} (${b}) are not one function")
  endif()
  if(a IN_LIST seen_addresses)
    message(FATAL_ERROR "${plain} shares its address with another export")
  endif()
  list(APPEND seen_addresses ${a})
  message(STATUS "${plain} = ${decorated} at ${a}")
endforeach()

set(clock "${address_SetTourClock0}")
if(clock STREQUAL "")
  message(FATAL_ERROR "Stats.dll does not export SetTourClock0")
endif()
if(clock IN_LIST seen_addresses)
  message(FATAL_ERROR "SetTourClock0 shares its address with a host export")
endif()
message(STATUS "SetTourClock0 at ${clock}")
