#!/usr/bin/env bash
# Installs what is missing, builds Vireon and starts the desktop program.
# Without a display it says so and works headless instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIREON_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --parallel "$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/src/app/vireon "$@"
fi

echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running headless."
build/release/src/app/vireon-cli --version
# A demo measurement: the frequency response of the built-in bench's two-way loudspeaker through
# the simulated card, 16 synchronous MLS averages.
build/release/src/app/vireon-cli measure --stimulus 4 --acq 8 --avg 16 --out vireon-demo.vr2 \
  --time-out vireon-demo-impulse.vr2
echo "Measured the built-in bench: vireon-demo.vr2 (frequency response), vireon-demo-impulse.vr2"
echo "(impulse response); 'build/release/src/app/vireon-cli dump vireon-demo.vr2' prints it."
build/release/src/app/vireon-cli plot vireon-demo.vr2 --png vireon-demo.png
build/release/src/app/vireon-cli plot vireon-demo-impulse.vr2 --png vireon-demo-impulse.png
echo "Their plots, as the plot window draws them: vireon-demo.png, vireon-demo-impulse.png."
QT_QPA_PLATFORM=offscreen build/release/src/app/vireon --screenshot vireon-screenshot.png
echo "The desktop program started offscreen; its windows are in vireon-screenshot.png."
echo "To see it on screen, run this command again in a desktop session (or under xvfb-run)."
