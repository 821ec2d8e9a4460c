# vireon-cli devices and capture against the simulated card: the device list, the synchronous
# impulse landing at its index whatever the round trip, a missing sync return, an underrun, and
# the exit codes.
include(${CMAKE_CURRENT_LIST_DIR}/CliTestSupport.cmake)
set(ENV{VIREON_DATA_DIR} "${WORK}/data")
file(MAKE_DIRECTORY "${WORK}/data")

# The simulated card is listed in both directions, and hidden on request.
run_cli(0 devices --json)
string(JSON play_count LENGTH "${output}" play)
math(EXPR last "${play_count} - 1")
string(JSON last_play GET "${output}" play ${last} name)
expect_equal("${last_play}" "Simulated card (test bench)" "last play device")
string(JSON card_rates GET "${output}" record ${last} rates)
string(FIND "${card_rates}" "192000" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the simulated card does not offer 192000 Hz: ${card_rates}")
endif()
set(ENV{VIREON_NO_SIMULATED_CARD} 1)
run_cli(0 devices)
string(FIND "${output}" "Simulated card" at)
expect_equal("${at}" "-1" "position of the hidden card in the device list")
unset(ENV{VIREON_NO_SIMULATED_CARD})

# The impulse (sample 40 of the period, 0.999 × 0.3 of full scale) comes back through a wire at
# index 40 whatever the card's round trip.
foreach(latency 0 3000)
  file(WRITE "${WORK}/wire.ini" "; a plain wire\n[Card]\nLatency=${latency}\n")
  run_cli(0 capture --stimulus 3 --bench wire.ini --length 1000 --json --out impulse.vr2)
  expect_equal("${output}" "{\"syncGood\":true,\"underrun\":false,\"overrun\":false}\n"
    "status of the impulse capture at latency ${latency}")
  run_cli(0 dump impulse.vr2)
  string(REGEX MATCHALL "\n[^,\n]+,0\\.2997000217437744\n" rows "${output}")
  expect_equal("${rows}" "\n0.0008333333333333334,0.2997000217437744\n"
    "the impulse row at latency ${latency}")
  string(REGEX MATCHALL ",[^0\n]" nonzero "${output}")
  list(LENGTH nonzero nonzero_count)
  expect_equal("${nonzero_count}" "1" "nonzero samples at latency ${latency}")
endforeach()

# Without the sync code coming back the capture fails rather than misaligns, and what was
# captured is still saved.
file(WRITE "${WORK}/nosync.ini" "[Card]\nLatency=500\n[Input2]\nSource=None\n")
run_cli(1 capture --stimulus 3 --bench nosync.ini --out nosync.vr2)
expect_equal("${output}" "syncGood=0 underrun=0 overrun=0\n" "status without sync return")
if(NOT EXISTS "${WORK}/nosync.vr2")
  message(FATAL_ERROR "a failed capture did not save what it captured")
endif()

# The same with a round trip beyond what the sync code (sized for 0.05 s, "Latency48k") covers.
file(WRITE "${WORK}/far.ini" "[Card]\nLatency=20000\n")
run_cli(1 capture --stimulus 3 --bench far.ini --out far.vr2)
expect_equal("${output}" "syncGood=0 underrun=0 overrun=0\n" "status of a round trip too long")

# The built-in bench (a loudspeaker on input 1, the sync code back through a wire with noise)
# locks for the synchronous MLS and chirp.
foreach(stimulus 4 17)
  run_cli(0 capture --stimulus ${stimulus} --out builtin.vr2)
  expect_equal("${output}" "syncGood=1 underrun=0 overrun=0\n" "status of stimulus ${stimulus}")
endforeach()

# A card that stops completing buffers for a while runs the play queue dry.
file(WRITE "${WORK}/stall.ini" "[Faults]\nStallAfter=2\nStallBlocks=6\n")
run_cli(1 capture --stimulus 14 --bench stall.ini --length 100000 --out stall.vr2)
expect_equal("${output}" "syncGood=0 underrun=1 overrun=0\n" "status of a stalled card")

# An asynchronous capture has both inputs.
run_cli(0 capture --stimulus 14 --out noise.vr2)
run_cli(0 info noise.vr2)
string(JSON columns LENGTH "${output}" columns)
expect_equal("${columns}" "2" "columns of an asynchronous capture")

# A device that fails to open, a missing device or bench file and an unsupported rate fail;
# options that do not go together are usage errors.
file(WRITE "${WORK}/fail.ini" "[Faults]\nFailOpen=4\n")
run_cli(1 capture --stimulus 14 --bench fail.ini --out failed.vr2)
string(FIND "${errors}" "MMSYSERR_ALLOCATED { device already allocated } (4)" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the driver error report is missing:\n${errors}")
endif()
run_cli(1 capture --stimulus 14 --device "No such card" --out failed.vr2)
run_cli(1 capture --stimulus 14 --rate 12345 --out failed.vr2)
run_cli(1 capture --stimulus 14 --bench "${WORK}/no-such-bench.ini" --out failed.vr2)
run_cli(2 capture --stimulus 14 --bench wire.ini --device x --out failed.vr2)
run_cli(2 capture --stimulus 3 --acq 3 --out failed.vr2)
