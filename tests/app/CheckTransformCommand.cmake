# `vireon-cli transform`: each conversion writes its kind of record; refusals exit 1 or 2.
include(${CMAKE_CURRENT_LIST_DIR}/CliTestSupport.cmake)

function(expect_data_type file type)
  run_cli(0 info ${file})
  string(FIND "${output}" "\"dataType\": ${type}," at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${file} is not of data type ${type}:\n${output}")
  endif()
endfunction()

write_pulse_imp(pulse.imp)

run_cli(0 transform --to fr pulse.imp fr.vr2)
expect_data_type(fr.vr2 1)
run_cli(0 transform --to fr --window 3 --gate 0 127 pulse.imp gated.vrd)
expect_data_type(gated.vrd 1)
run_cli(0 transform --to time fr.vr2 back.vr2)
expect_data_type(back.vr2 0)
run_cli(0 transform --to spectrum --fft 128 pulse.imp spectrum.vr2)
expect_data_type(spectrum.vr2 2)
run_cli(0 transform --to rta --rta-resolution 3 pulse.imp bands.vr2)
expect_data_type(bands.vr2 4)

# The record does not suit: exit 1 with a message.
run_cli(1 transform --to transfer pulse.imp out.vr2)
run_cli(1 transform --to time pulse.imp out.vr2)
run_cli(1 transform --to fr missing.imp out.vr2)
# Usage errors: exit 2.
run_cli(2 transform --to nothing pulse.imp out.vr2)
run_cli(2 transform --to fr --window 16 pulse.imp out.vr2)
run_cli(2 transform --to fr --gate 9 3 pulse.imp out.vr2)
run_cli(2 transform --to rta --rta-resolution 0 pulse.imp out.vr2)
if(EXISTS "${WORK}/out.vr2")
  message(FATAL_ERROR "a refused transform wrote its output")
endif()
