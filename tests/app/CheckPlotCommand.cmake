# `vireon-cli plot`: a PNG of exactly the asked size or a PDF printout, drawn without a display;
# a failure exits 1 (the file) or 2 (the options) and leaves no file behind.
include(${CMAKE_CURRENT_LIST_DIR}/CliTestSupport.cmake)
set(ENV{VIREON_DATA_DIR} "${WORK}/data")
file(MAKE_DIRECTORY "${WORK}/data")
# No display and no platform chosen: the command must draw offscreen by itself.
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})

# Width and height from the IHDR chunk, which follows the 8-byte signature as the first chunk.
function(expect_png_size file width height)
  file(READ "${WORK}/${file}" head LIMIT 24 HEX)
  string(SUBSTRING "${head}" 0 32 signature)
  expect_equal("${signature}" "89504e470d0a1a0a0000000d49484452"
               "PNG signature and IHDR of ${file}")
  string(SUBSTRING "${head}" 32 8 png_width)
  string(SUBSTRING "${head}" 40 8 png_height)
  math(EXPR png_width "0x${png_width}")
  math(EXPR png_height "0x${png_height}")
  expect_equal("${png_width} x ${png_height}" "${width} x ${height}" "size of ${file}")
endfunction()

# A frequency response and a time record, both written by the other commands.
file(WRITE "${WORK}/r.frd" "My Woofer, 1m\r\n10 -3 45\r\n20 -2 40\r\n40 -1 30\r\n80 0 20\r\n")
run_cli(0 convert r.frd r.vr2)
run_cli(0 generate --stimulus 0 --out chirp.vr2)

run_cli(0 plot r.vr2 --png r.png)
expect_png_size(r.png 703 328)
run_cli(0 plot chirp.vr2 --width 1200 --height 500 --png chirp.png)
expect_png_size(chirp.png 1200 500)
run_cli(0 plot r.frd --width 1 --height 16384 --png thin.png)
expect_png_size(thin.png 1 16384)
run_cli(0 plot r.vr2 --height 1 --png r.png)
expect_png_size(r.png 703 1)

# Failures: nothing is created, and an existing picture stays as it was.
file(WRITE "${WORK}/bad.vr2" "\\1\\0\\0\\0")
file(MAKE_DIRECTORY "${WORK}/folder.png")
file(SHA256 "${WORK}/r.png" r_png_before)
# "*" takes hidden files too: a temporary left behind would show.
file(GLOB files_before LIST_DIRECTORIES true RELATIVE "${WORK}" "${WORK}/*")

run_cli(1 plot missing.vr2 --png r.png)
string(FIND "${errors}" "missing.vr2" at)
if(at EQUAL -1)
  message(FATAL_ERROR "plot missing.vr2 said:\n${errors}")
endif()
run_cli(1 plot bad.vr2 --png bad.png)
string(FIND "${errors}" "Invalid File Format! 0" at)
if(at EQUAL -1)
  message(FATAL_ERROR "plot bad.vr2 said:\n${errors}")
endif()
run_cli(1 plot r.vr2 --png folder.png)
run_cli(1 plot r.vr2 --png no-such-folder/r.png)

foreach(option "--width;0" "--width;16385" "--height;0" "--height;-3" "--height;100000"
               "--width;2.5" "--width;wide")
  run_cli(2 plot r.vr2 ${option} --png r.png)
endforeach()
run_cli(2 plot r.vr2)
run_cli(2 plot --png r.png)

file(GLOB files_after LIST_DIRECTORIES true RELATIVE "${WORK}" "${WORK}/*")
expect_equal("${files_after}" "${files_before}" "files after the failed plots")
file(SHA256 "${WORK}/r.png" r_png_after)
expect_equal("${r_png_after}" "${r_png_before}" "r.png after the failed plots")

# A PDF printout, alone or with the PNG; neither output is a usage error.
run_cli(0 plot r.vr2 --pdf r.pdf)
expect_file_starts_with(r.pdf "%PDF-")
file(REMOVE "${WORK}/r.png")
run_cli(0 plot r.vr2 --png r.png --pdf both.pdf)
expect_png_size(r.png 703 328)
expect_file_starts_with(both.pdf "%PDF-")
run_cli(1 plot r.vr2 --pdf no-such-folder/r.pdf)
