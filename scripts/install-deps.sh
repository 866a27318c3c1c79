#!/usr/bin/env bash
# Installs the Debian packages that Vantrel's build, tests and fuzz targets need, when missing.
# Runs as root on a fresh Debian 12 machine.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libgtest-dev libcli11-dev nlohmann-json3-dev clang libclang-rt-14-dev python3 time)
# The desktop windows (VANTREL_GUI, on unless the build is configured with -DVANTREL_GUI=OFF).
if [ "${VANTREL_GUI:-ON}" != "OFF" ]; then
  packages+=(qt6-base-dev libgl-dev)
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
