# vireon-cli measure against the simulated card: the impulse's time origin whatever the round
# trip, the averaging target, identical results on the fast clock, and the exit codes.
include(${CMAKE_CURRENT_LIST_DIR}/CliTestSupport.cmake)
set(ENV{VIREON_DATA_DIR} "${WORK}/data")
file(MAKE_DIRECTORY "${WORK}/data")

# The largest |value| of the second column of a dump, as "t,value".
function(peak_row dump result)
  string(REPLACE "\n" ";" rows "${dump}")
  list(REMOVE_AT rows 0)
  set(best_row "")
  set(best 0)
  foreach(row IN LISTS rows)
    if(row MATCHES "^([^,]+),-?([0-9.e+-]+)")
      if(CMAKE_MATCH_2 GREATER best)
        set(best ${CMAKE_MATCH_2})
        set(best_row "${row}")
      endif()
    endif()
  endforeach()
  set(${result} "${best_row}" PARENT_SCOPE)
endfunction()

# A wire's impulse (synchronous MLS) sits at time 0 whatever the card's round trip.
foreach(latency 0 3000)
  file(WRITE "${WORK}/wire.ini" "[Card]\nLatency=${latency}\n")
  run_cli(0 measure --stimulus 4 --acq 2 --bench wire.ini --out impulse.vr2)
  run_cli(0 dump impulse.vr2)
  peak_row("${output}" peak)
  string(REGEX MATCH "^[^,]+" peak_time "${peak}")
  expect_equal("${peak_time}" "0" "time of the impulse at latency ${latency}")
endforeach()

# Averaging runs to its target and stops; the result and the time record are both written.
run_cli(0 measure --stimulus 4 --acq 8 --avg 3 --out response.vr2 --time-out time.vr2)
run_cli(0 info response.vr2)
string(JSON avg_count GET "${output}" avgCount)
expect_equal("${avg_count}" "3" "averages of the response")
string(JSON data_type GET "${output}" dataTypeName)
expect_equal("${data_type}" "FrequencyResponse" "data type of the response")
run_cli(0 info time.vr2)
string(JSON data_type GET "${output}" dataTypeName)
expect_equal("${data_type}" "TimeDomain" "data type of the time record")

# The fast clock gives the same record on every run (the file keeps its own name: one name).
run_cli(0 measure --stimulus 14 --acq 4 --avg 2 --out noise.vr2)
file(SHA256 "${WORK}/noise.vr2" first)
run_cli(0 measure --stimulus 14 --acq 4 --avg 2 --out noise.vr2)
file(SHA256 "${WORK}/noise.vr2" second)
expect_equal("${first}" "${second}" "checksums of two identical runs")

# Usage errors: a pair the compatibility rule refuses, and averaging targets with "Decay".
run_cli(2 measure --stimulus 17 --acq 8 --out refused.vr2)
run_cli(2 measure --stimulus 14 --acq 4 --set AcqMode4/AverageType=4 --out decay.vr2)

# Without the sync code coming back the measurement never completes.
file(WRITE "${WORK}/nosync.ini" "[Card]\nLatency=500\n[Input2]\nSource=None\n")
run_cli(1 measure --stimulus 4 --acq 2 --bench nosync.ini --timeout 2 --out nosync.vr2)
