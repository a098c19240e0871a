# Runs korvane once (or twice for a round trip) in a fresh work folder and checks its
# exit status and output. Lists arrive with "|" in place of ";".
#   KORVANE   the command: the executable, behind the emulator in the Windows build
#   ARGS      its arguments; @WORK@ stands for the work folder, @INPUT@ for the made input
#   WORKDIR   the work folder, emptied first
#   INPUT     a made input: empty, binary, truncated, bigcall, feb31, feb31only; or
#             blocked-report: a folder RK3AZ.cbr where the report would go
#   SAMPLE    the bundled sample without extension (for INPUT and the modes below)
#   EXIT      the expected exit status
#   STDOUT, STDERR   texts that must each appear in the output
#   GOLDEN    a file the standard output must begin with
#   CBR       texts the written Cabrillo file must hold (roundtrip)
#   MODE      run (default); refused: the listed refusals must be the sample's;
#             roundtrip: score the .cbr the first run wrote, the table must be the same
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" command "${KORVANE}")
string(REPLACE "|" ";" args "${ARGS}")
string(REPLACE "|" ";" stdout_texts "${STDOUT}")
string(REPLACE "|" ";" stderr_texts "${STDERR}")
string(REPLACE "|" ";" cbr_texts "${CBR}")
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}")
set(input "${WORKDIR}/input.adi")

set(good_record "<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW <STATION_CALLSIGN:5>RK3AZ <EOR>\n")
if(INPUT STREQUAL "empty")
  file(WRITE "${input}" "")
elseif(INPUT STREQUAL "binary")
  list(GET command -1 program)
  configure_file("${program}" "${input}" COPYONLY)
elseif(INPUT STREQUAL "truncated")
  file(READ "${SAMPLE}.adi" text LIMIT 1000)
  file(WRITE "${input}" "${text}")
elseif(INPUT STREQUAL "bigcall")
  string(REPEAT "W" 10485760 call)
  file(WRITE "${input}" "<CALL:10485760>${call} <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW <EOR>\n${good_record}")
elseif(INPUT STREQUAL "feb31")
  file(WRITE "${input}" "<CALL:5>UA1AB <QSO_DATE:8>20260231 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW <EOR>\n${good_record}")
elseif(INPUT STREQUAL "blocked-report")
  file(MAKE_DIRECTORY "${WORKDIR}/RK3AZ.cbr")
elseif(INPUT STREQUAL "feb31only")
  file(WRITE "${input}" "<CALL:5>UA1AB <QSO_DATE:8>20260231 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW <EOR>\n")
endif()
list(TRANSFORM args REPLACE "@WORK@" "${WORKDIR}")
list(TRANSFORM args REPLACE "@INPUT@" "${input}")

function(run_korvane)
  execute_process(COMMAND ${command} ${ARGN}
    WORKING_DIRECTORY "${WORKDIR}" TIMEOUT 300
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(LENGTH "${err}" err_length)
  if(err_length GREATER 20000)
    message(FATAL_ERROR "korvane wrote ${err_length} bytes to stderr")
  endif()
  set(rc "${rc}" PARENT_SCOPE)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_texts where output)
  foreach(text IN LISTS ARGN)
    string(FIND "${output}" "${text}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${where} lacks \"${text}\"")
    endif()
  endforeach()
endfunction()

# Only the table, multipliers and counts: the lines naming files differ between runs.
function(table_of output result)
  string(REGEX REPLACE "\r" "" output "${output}")
  string(REGEX REPLACE "\nRead [^\n]*\n.*" "" output "${output}")
  set(${result} "${output}" PARENT_SCOPE)
endfunction()

run_korvane(${args})
message(STATUS "exit ${rc}\n--- stdout\n${out}--- stderr\n${err}")
if(NOT rc STREQUAL "${EXIT}")
  message(FATAL_ERROR "exit status ${rc}, expected ${EXIT}")
endif()
expect_texts("stdout" "${out}" ${stdout_texts})
expect_texts("stderr" "${err}" ${stderr_texts})

if(GOLDEN)
  file(READ "${GOLDEN}" golden)
  string(REGEX REPLACE "\r" "" stdout_lf "${out}")
  string(LENGTH "${golden}" length)
  string(SUBSTRING "${stdout_lf}" 0 ${length} head)
  if(NOT head STREQUAL golden)
    message(FATAL_ERROR "stdout does not begin with ${GOLDEN}:\n${golden}")
  endif()
endif()

if(MODE STREQUAL "refused")
  string(REGEX REPLACE "\r" "" stdout_lf "${out}")
  string(REGEX MATCHALL "\n  QSO [0-9]+ \\(line [0-9]+\\): [0-9-]+ [0-9:]+  [^ ]+  [^ ]+ [^ ]+ " lines "${stdout_lf}")
  set(listed "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "\n  QSO ([0-9]+) \\(line [0-9]+\\): [0-9-]+ ([0-9:]+)  ([^ ]+)  ([^ ]+) ([^ ]+) "
                         "\\1 \\3 \\4 \\5 \\2\n" entry "${line}")
    string(APPEND listed "${entry}")
  endforeach()
  file(READ "${SAMPLE}.refused" expected)
  if(NOT listed STREQUAL expected)
    message(FATAL_ERROR "refusals listed:\n${listed}expected:\n${expected}")
  endif()
endif()

if(MODE STREQUAL "roundtrip")
  table_of("${out}" first)
  file(GLOB written "${WORKDIR}/*.cbr")
  list(LENGTH written count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one .cbr in ${WORKDIR}, found: ${written}")
  endif()
  file(READ "${written}" report)
  expect_texts("${written}" "${report}" ${cbr_texts})
  run_korvane(score "${written}")
  message(STATUS "second run: exit ${rc}\n${out}${err}")
  table_of("${out}" second)
  if(NOT rc EQUAL 0 OR NOT first STREQUAL second)
    message(FATAL_ERROR "the Cabrillo file scores differently:\n${first}\n---\n${second}")
  endif()
endif()
