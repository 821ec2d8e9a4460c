# vireon-cli generate: the packed frames as a WAV file and as a time record, period layout and
# exit codes. Chirp samples are checked against the closed form of the logarithmic sweep,
# sin(Δ0 (r^k - 1) / (r - 1)) with Δ0 = 2π·20/48000 and r = 1000^(1/9600), at gain 0.999.
include(${CMAKE_CURRENT_LIST_DIR}/CliTestSupport.cmake)
set(ENV{VIREON_DATA_DIR} "${WORK}/data")
file(MAKE_DIRECTORY "${WORK}/data")

function(expect_file_size file expected)
  file(SIZE "${WORK}/${file}" size)
  expect_equal("${size}" "${expected}" "size of ${file}")
endfunction()

# The little-endian bytes at an offset of a file, as hex.
function(read_bytes file offset count result)
  file(READ "${WORK}/${file}" hex OFFSET ${offset} LIMIT ${count} HEX)
  set(${result} "${hex}" PARENT_SCOPE)
endfunction()

# A 24-bit asynchronous log chirp of 0.2 s: 9600 frames, both outputs at the same gain, after
# its pre-delay of 2930 silent frames (DAC and ADC latency of 100 each, half a block of 5460).
run_cli(0 generate --stimulus 0 --out chirp.wav)
expect_file_size(chirp.wav 75224)  # 44 + (2930 + 9600) × 6
read_bytes(chirp.wav 17618 6 last_silent)  # 44 + 2929 × 6
expect_equal("${last_silent}" "000000000000" "last frame of the pre-delay")
read_bytes(chirp.wav 0 44 header)
expect_equal("${header}"
  "52494646d025010057415645666d7420100000000100020080bb0000006504000600180064617461ac250100"
  "WAV header: PCM, 2 channels, 48000 Hz, 24 bits")
# Samples k = 1, 100, 4800, 9599: 21939, 2246175, -8285314, -6596326.
foreach(k_and_bytes "1;b35500" "100;1f4622" "4800;7e9381" "9599;1a599b")
  list(GET k_and_bytes 0 k)
  list(GET k_and_bytes 1 expected)
  math(EXPR offset "44 + 6 * (2930 + ${k})")
  read_bytes(chirp.wav ${offset} 6 frame)
  expect_equal("${frame}" "${expected}${expected}" "chirp frame ${k}")
endforeach()

# The same frames as a time record, sample / 8388607, never above the 0.999 gain.
run_cli(0 generate --stimulus 0 --out chirp.vr2)
run_cli(0 dump chirp.vr2)
string(REGEX MATCHALL "\n" lines "${output}")
list(LENGTH lines line_count)
expect_equal("${line_count}" "12531" "dump lines of the chirp record")
string(FIND "${output}" "t,Output 1,Output 2\n" at)
expect_equal("${at}" "0" "record columns")
string(FIND "${output}" "\n0.063125,0.26776495575904846,0.26776495575904846\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "chirp sample 100 missing from the record")
endif()
if(output MATCHES ",-?(1|0\\.999[0-9]*[1-9][0-9]*)(,|\n)")
  message(FATAL_ERROR "a sample beyond 0.999 of full scale: ${CMAKE_MATCH_0}")
endif()

# Two periods of a 16-bit asynchronous chirp (blocks of 8160 frames) follow each other without a
# gap.
run_cli(0 generate --stimulus 0 --bits 16 --periods 2 --out chirp2.wav)
expect_file_size(chirp2.wav 111084)  # 44 + 2 × (4280 + 9600) × 4
read_bytes(chirp2.wav 34 2 bits)
expect_equal("${bits}" "1000" "16-bit samples")

# Synchronous MLS of order 12: 4096 - 56 - 1 frames of pre-roll and a 4095-sample period; a
# second period follows 0.1 s of inter-silence, starting at the next odd half cycle of the 60 Hz
# line (800 frames) after the first period's start: 400 + 16 × 800. The recovery tables are cached
# in the data folder.
run_cli(0 generate --stimulus 4 --out mls.wav)
expect_file_size(mls.wav 48848)  # 44 + 8134 × 6
if(NOT EXISTS "${WORK}/data/MLS12.QBQ")
  message(FATAL_ERROR "the MLS tables were not cached in the data directory")
endif()
run_cli(0 generate --stimulus 4 --periods 2 --out mls2.wav)
expect_file_size(mls2.wav 128048)  # 44 + (13200 + 8134) × 6

# Usage errors exit 2; a stimulus that cannot be generated exits 1.
foreach(arguments
    "--stimulus;3;--acq;3"  # a chirp-only acquisition with the impulse
    "--stimulus;17;--acq;0"
    "--stimulus;42"
    "--stimulus;0;--bits;20"
    "--stimulus;0;--rate;0"
    "--stimulus;0;--set;Chirp/NoSuchKey=1")
  run_cli(2 generate ${arguments} --out refused.wav)
endforeach()
run_cli(1 generate --stimulus 13 --out nowav.wav)  # no WAV stimulus file chosen
if(EXISTS "${WORK}/refused.wav" OR EXISTS "${WORK}/nowav.wav")
  message(FATAL_ERROR "a refused generation wrote its file")
endif()

# Stimuli other than the MLS and the chirps repeat at the acquisition's record length, as the
# type's own settings keep it.
run_cli(0 generate --stimulus 14 --acq 4 --set AcqMode4/AcqSize=1000 --out noise.vr2)
run_cli(0 info noise.vr2)
string(JSON points GET "${output}" numPoints)
expect_equal("${points}" "1000" "frames of one white-noise period")
