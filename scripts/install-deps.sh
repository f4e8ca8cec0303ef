#!/usr/bin/env bash
# Installs the Debian packages that are missing, skipping those present:
#   install-deps.sh        what building and running the program needs
#   install-deps.sh test   that, and what the tests add
set -euo pipefail

# Building and running the program.
run_packages=(cmake g++ make pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev libzstd-dev
    libcli11-dev fonts-liberation parallel)
# The tests: their frameworks, the formatting check, and what builds and checks
# the Debian package, and the one-machine Slurm cluster the sweep test starts.
test_packages=(libgtest-dev clang-format dpkg-dev file lintian desktop-file-utils man-db
    bash-completion slurm-wlm munge)

packages=("${run_packages[@]}")
case "${1:-}" in
    "") ;;
    test) packages+=("${test_packages[@]}") ;;
    *) echo "usage: $0 [test]" >&2; exit 2 ;;
esac

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
