#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# the optimised build with the formatting check and the Debian package, then
# the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the concurrency test under ThreadSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/install-deps.sh" test

echo "== optimised build"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESMIR_SANITIZE=address,undefined -DBUILD_TESTING=ON >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
(cd "$root/build-asan" &&
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" -LE 'slow|whole')

echo "== ThreadSanitizer"
cmake -S "$root" -B "$root/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESMIR_SANITIZE=thread -DBUILD_TESTING=ON >/dev/null
cmake --build "$root/build-tsan" -j"$jobs" --target concurrency_tests
(cd "$root/build-tsan" &&
    TSAN_OPTIONS=halt_on_error=1 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L concurrency)
echo "== all tests passed"
