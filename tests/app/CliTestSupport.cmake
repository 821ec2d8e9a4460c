# Shared by the command-line test scripts: each runs with CLI (the program) and WORK (a folder
# of its own, emptied first) defined.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Runs vireon-cli in WORK; fails unless it exits with expected_code. Leaves its standard output
# and error in `output` and `errors`.
function(run_cli expected_code)
  execute_process(COMMAND "${CLI}" ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE output
                  ERROR_VARIABLE errors WORKING_DIRECTORY "${WORK}")
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "vireon-cli ${ARGN}: exit ${code}, expected ${expected_code}\n${errors}")
  endif()
  set(output "${output}" PARENT_SCOPE)
  set(errors "${errors}" PARENT_SCOPE)
endfunction()

function(expect_equal actual expected what)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${what}:\n--- got\n${actual}\n--- expected\n${expected}")
  endif()
endfunction()

# Byte offset of text in a file of WORK, -1 when absent. Compared as hex: a plain file(READ)
# drops the CR of CR LF line ends.
function(find_in_file file text result)
  file(READ "${WORK}/${file}" content HEX)
  string(HEX "${text}" wanted)
  string(FIND "${content}" "${wanted}" at)
  math(EXPR odd "${at} % 2")
  if(odd)
    set(at -1)
  elseif(NOT at EQUAL -1)
    math(EXPR at "${at} / 2")
  endif()
  set(${result} ${at} PARENT_SCOPE)
endfunction()

function(expect_file_contains file text)
  find_in_file(${file} "${text}" at)
  if(at EQUAL -1)
    file(READ "${WORK}/${file}" shown)
    message(FATAL_ERROR "${file} lacks '${text}':\n${shown}")
  endif()
endfunction()

function(expect_file_starts_with file text)
  find_in_file(${file} "${text}" at)
  if(NOT at EQUAL 0)
    file(READ "${WORK}/${file}" shown)
    message(FATAL_ERROR "${file} does not start with '${text}':\n${shown}")
  endif()
endfunction()

# A one-channel impulse-response text file (.imp) of 256 samples at 48 kHz: 1, -0.5, then zeros.
function(write_pulse_imp file)
  set(imp "256\r\n255\r\n48000\r\nx\r\n1\r\n-0.5\r\n")
  foreach(i RANGE 3 256)
    string(APPEND imp "0\r\n")
  endforeach()
  file(WRITE "${WORK}/${file}" "${imp}Pulse\r\n")
endfunction()
