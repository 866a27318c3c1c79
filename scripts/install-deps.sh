#!/usr/bin/env bash
# Installs the Debian packages that Vantrel's build, tests and fuzz targets need, when missing.
# Runs as root on a fresh Debian 12 machine.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libgtest-dev libcli11-dev nlohmann-json3-dev libfast-float-dev clang libclang-rt-14-dev python3 time)
# The manual page, the completion and the Debian package (CPack's DEB generator, its dependency
# scan and lintian).
packages+=(man-db bash-completion dpkg-dev fakeroot file lintian)
# scripts/lint.sh: the layout and the static checks of the sources.
packages+=(clang-format clang-tidy)
# The Windows command line: the mingw-w64 cross compiler (posix threads, which std::filesystem
# needs) and wine64 to test it.
packages+=(g++-mingw-w64-x86-64-posix wine64)
# The desktop windows (VANTREL_GUI, on unless the build is configured with -DVANTREL_GUI=OFF).
if [ "${VANTREL_GUI:-ON}" != "OFF" ]; then
  # Qt Charts (the review window's plots) finds its OpenGL module through the -dev package.
  packages+=(qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev desktop-file-utils)
  # The GUI tests run under a real X server with a window manager as well as offscreen, and are
  # tried by hand with xdotool.
  packages+=(xvfb openbox xdotool)
fi
# The benchmarks (bench/, not run by CI): inih as the parse-only baseline of bench/run.sh, and a
# virtual X server with a window manager for bench/gui.sh --xvfb. Skipped with VANTREL_BENCH=OFF.
if [ "${VANTREL_BENCH:-ON}" != "OFF" ]; then
  packages+=(libinih-dev xvfb openbox)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
