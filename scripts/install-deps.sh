#!/usr/bin/env bash
# Installs the Debian packages Vireon needs that are missing.
# Usage: install-deps.sh [run|test|bench]   (default: run)
set -euo pipefail

purpose="${1:-run}"
packages=(cmake ninja-build g++ pkg-config qt6-base-dev portaudio19-dev libsoxr-dev
          libcli11-dev nlohmann-json3-dev googletest libgtest-dev libbenchmark-dev)
case "$purpose" in
  run)   packages+=(xvfb xauth fonts-dejavu-core) ;;
  test)  packages+=(jackd2 xvfb xauth fonts-dejavu-core clang libfuzzer-14-dev) ;;
  bench) packages+=(libfftw3-dev fonts-dejavu-core) ;;
  *) echo "install-deps.sh: unknown purpose '$purpose' (run, test or bench)" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
