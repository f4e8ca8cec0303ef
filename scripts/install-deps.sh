#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# skipping those already present.
set -euo pipefail

packages=(cmake g++ make libgtest-dev qt6-base-dev qt6-charts-dev libqt6opengl6-dev libzstd-dev libcli11-dev pkg-config fonts-liberation xvfb xauth clang-format parallel)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
