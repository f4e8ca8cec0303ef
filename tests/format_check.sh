#!/usr/bin/env bash
# Every tracked C++ file as .clang-format wants it; names the files that are not.
set -u
cd "$1" || exit 1
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
