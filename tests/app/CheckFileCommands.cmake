# `vireon-cli info`, `dump` and `convert`: output, files written and exit codes.
include(${CMAKE_CURRENT_LIST_DIR}/CliTestSupport.cmake)

file(WRITE "${WORK}/r.frd" "My Woofer, 1m\r\n* comment\r\n10 -3 45\r\n20 -2 40\r\n40 -1 30\r\n80 0 20\r\n")
write_pulse_imp(pulse.imp)

run_cli(0 info r.frd)
expect_equal("${output}" [=[{
  "title": "My Woofer, 1m",
  "subTitle": "",
  "dataType": 1,
  "dataTypeName": "FrequencyResponse",
  "numPoints": 4,
  "numFields": 3,
  "sampleRate": 192000,
  "sampleBits": 12,
  "startTime": 10.0,
  "endX": 80.0,
  "plotKind": 0,
  "sliceCount": 0,
  "avgCount": 0,
  "columns": [
    {
      "name": "Frequency",
      "units": "Hz",
      "showAsDb": 0
    },
    {
      "name": "Frequency Response Magnitude",
      "units": "dB",
      "showAsDb": 1
    },
    {
      "name": "Frequency Response Phase",
      "units": "°",
      "showAsDb": 0
    }
  ]
}
]=] "info r.frd")

run_cli(0 dump r.frd)
expect_equal("${output}" "Frequency,Frequency Response Magnitude,Frequency Response Phase
10,0.7079457843841379,45
20,0.7943282347242815,40
40,0.8912509381337456,30
80,1,20
" "dump r.frd")

# A .vr2 keeps values in single precision; a column name with a comma is quoted.
run_cli(0 convert r.frd r.vr2)
run_cli(0 dump r.vr2)
string(FIND "${output}" "10,0.7079457640647888,45\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "dump r.vr2:\n${output}")
endif()
run_cli(0 convert r.vr2 r.vrd)
file(READ "${WORK}/r.vrd" vrd)
string(REPLACE "Frequency Response Phase" "Phase, \"deg\"" vrd "${vrd}")
file(WRITE "${WORK}/q.vrd" "${vrd}")
run_cli(0 dump q.vrd)
string(FIND "${output}" "Frequency,Frequency Response Magnitude,\"Phase, \"\"deg\"\"\"\n10," at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "dump q.vrd:\n${output}")
endif()

# Time records: a WAV file at the chosen depth, sampled columns with their time first.
run_cli(0 convert pulse.imp pulse.wav --bits 16)
run_cli(0 info pulse.wav)
string(REGEX MATCH "\"title\": \"pulse.wav\",.*\"numPoints\": 256,.*\"sampleRate\": 48000,\n  \"sampleBits\": 16," found "${output}")
if(NOT found)
  message(FATAL_ERROR "info pulse.wav:\n${output}")
endif()
run_cli(0 dump pulse.wav --display)
string(FIND "${output}" "t,LeftChan\n0,0.999969482421875\n2.0833333333333333e-05,-0.5\n" at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "dump pulse.wav:\n${output}")
endif()

# Text exports: ASCII with three blanks or commas, and the MLSSA time layout.
run_cli(0 convert r.frd r.txt)
expect_file_starts_with(r.txt "1.0000E+01   -3.0000E+00   4.5000E+01\r\n2.0000E+01   ")
run_cli(0 convert r.frd r.csv)
expect_file_starts_with(r.csv "1.0000E+01,-3.0000E+00,4.5000E+01\r\n")
run_cli(0 convert pulse.imp pulse.txt --format mlssa)
expect_file_starts_with(pulse.txt " 1\r\n 0.020833333333333332\r\n 256\r\n 1\r\n -0.5\r\n 0\r\n")

# Failures exit 1 with the loader's or writer's message; usage errors exit 2.
file(WRITE "${WORK}/bad.vr2" "\\1\\0\\0\\0")
run_cli(1 info bad.vr2)
string(FIND "${errors}" "Invalid File Format! 0" at)
if(at EQUAL -1)
  message(FATAL_ERROR "info bad.vr2 said:\n${errors}")
endif()
run_cli(1 dump missing.vr2)
run_cli(1 convert r.frd r.wav)
string(FIND "${errors}" "Error: Only Time domain data can be saves as WAV files!" at)
if(at EQUAL -1 OR EXISTS "${WORK}/r.wav")
  message(FATAL_ERROR "convert r.frd r.wav said:\n${errors}")
endif()
run_cli(1 convert pulse.imp "${WORK}/no-such-folder/x.vr2")
run_cli(2 convert pulse.imp x.wav --bits 12)
run_cli(2 convert pulse.imp x.txt --format other)
run_cli(2 dump r.frd --no-such-option)
run_cli(2 info)
