# `vireon-cli config`: settings applied in order, files written whole, usage errors exit 2.
include(${CMAKE_CURRENT_LIST_DIR}/CliTestSupport.cmake)

file(WRITE "${WORK}/in.ini" "[Forms]\r\nMainTop=120\r\nMainLeft=7\r\n[AcqMode3]\r\nFftSize=16384\r\n")
file(WRITE "${WORK}/in.hdi" "[Soundcards]\nPlayRate=96000\n")

# A later --set wins over the file and over an earlier --set.
run_cli(0 config --config in.ini --hardware in.hdi --set Forms/MainLeft=1 --set forms/mainleft=33
        --save out.ini --save-hardware out.hdi)
expect_file_starts_with(out.ini "[Vireon Version]\r\nVer=230\r\n\r\n[LivePlots]\r\n")
expect_file_contains(out.ini "[Forms]\r\nMainTop=120\r\nMainLeft=33\r\n")
expect_file_contains(out.ini "[AcqMode3]\r\nAverageType=1\r\nAverageLimit=6\r\nCurve0=-1\r\nCurve1=-1\r\nWeightFile=\r\nFftSize=16384\r\n")
# Settings the files do not name are written at the program's defaults.
expect_file_contains(out.ini "[Chirp]\r\nChirpTimeLength=0.2\r\nChirpStartFreq=20\r\n")
expect_file_contains(out.hdi "PlayRate=96000\r\n")

# Usage errors: unknown key, a value that does not parse, a missing file, no --save.
run_cli(2 config --set Forms/NoSuchKey=1 --save bad.ini)
run_cli(2 config --set Forms/MainTop=high --save bad.ini)
run_cli(2 config --config missing.ini --save bad.ini)
run_cli(2 config)
if(EXISTS "${WORK}/bad.ini")
  message(FATAL_ERROR "a refused command wrote its output")
endif()

# A file that cannot be written is a failed operation.
run_cli(1 config --save "${WORK}/no-such-folder/out.ini")
