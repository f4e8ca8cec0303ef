#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it in the current
# directory (where it reads and writes its data files). Arguments go to kesmir.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target kesmir -j"$(nproc)"
exec "$root/build/kesmir" "$@"
