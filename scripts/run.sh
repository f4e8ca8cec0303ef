#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it in the current
# directory (where it reads and writes its data files). Arguments go to kesmir.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# A fresh build folder is set up for the program alone; one the test command
# set up keeps its tests (only the program is built here either way).
testing=()
[ -f "$root/build/CMakeCache.txt" ] || testing=(-DBUILD_TESTING=OFF)
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release "${testing[@]}" >/dev/null
cmake --build "$root/build" --target kesmir -j"$(nproc)"
exec "$root/build/kesmir" "$@"
