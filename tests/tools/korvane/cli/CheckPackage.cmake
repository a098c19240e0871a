# Makes the release zip with CPack from a built tree and checks what it holds: the
# programs, the README and the sample, unchanged; the packaged korvane scores the packaged
# sample with the plug-in beside it; on Windows the packaged (stripped) Stats.dll still
# passes the import and export check.
#   CPACK      the cpack program          CONFIG   the build's CPackConfig.cmake
#   WORK       a folder, emptied first    SOURCE   the source tree
#   PROGRAMS   the program files, "|" between them
#   CHECK_DLL  CheckDll.cmake, with OBJDUMP (Windows only)
#   EMULATOR   what runs the packaged korvane (Wine for the Windows build), "|" between words
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" programs "${PROGRAMS}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/unpacked")

execute_process(COMMAND "${CPACK}" --config "${CONFIG}" -B "${WORK}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "cpack: ${out}${err}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed (${rc})")
endif()
file(GLOB zips "${WORK}/*.zip")
list(LENGTH zips count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one zip in ${WORK}, found: ${zips}")
endif()
get_filename_component(top "${zips}" NAME_WLE)

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${zips}" OUTPUT_VARIABLE listing
  RESULT_VARIABLE rc)
message(STATUS "${zips}:\n${listing}")
set(expected ${programs} README.md samples/README.md samples/korvane-2026-RK3AZ.adi
    samples/korvane-2026-RK3AZ.cbr samples/korvane-2026-RK3AZ.expected
    samples/korvane-2026-RK3AZ.refused)
foreach(file IN LISTS expected)
  string(FIND "${listing}" "${top}/${file}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${zips} lacks ${top}/${file}")
  endif()
endforeach()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${zips}" WORKING_DIRECTORY "${WORK}/unpacked"
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${zips}")
endif()
foreach(file README.md samples/korvane-2026-RK3AZ.adi samples/korvane-2026-RK3AZ.cbr)
  file(SHA256 "${SOURCE}/${file}" want)
  file(SHA256 "${WORK}/unpacked/${top}/${file}" got)
  if(NOT want STREQUAL got)
    message(FATAL_ERROR "${file} in the zip differs from the source tree's")
  endif()
endforeach()

if(CHECK_DLL)
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DDLL=${WORK}/unpacked/${top}/Stats.dll"
    "-DOBJDUMP=${OBJDUMP}" -P "${CHECK_DLL}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the packaged Stats.dll fails CheckDll.cmake")
  endif()
endif()

# As a user would first try it: unpacked, korvane finds the plug-in next to itself.
list(GET programs -1 korvane)
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(unpacked "${WORK}/unpacked/${top}")
execute_process(COMMAND ${emulator} "${unpacked}/${korvane}" score samples/korvane-2026-RK3AZ.adi
                        --workdir "${WORK}/run"
  WORKING_DIRECTORY "${unpacked}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
  TIMEOUT 300)
string(FIND "${out}" "Score: 314+131  = 445" at)
if(NOT rc EQUAL 0 OR at EQUAL -1)
  message(FATAL_ERROR "the packaged korvane does not score the packaged sample (${rc}):\n${out}${err}")
endif()
