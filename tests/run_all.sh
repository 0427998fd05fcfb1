#!/usr/bin/env bash
# Builds the tool and its tests and runs every test, installing cmake, a
# compiler, GoogleTest, strace and Python first if they are missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install_missing.sh" cmake:cmake make:make g++:c++ \
  libgtest-dev:/usr/include/gtest/gtest.h strace:strace \
  python3:python3
cmake -S "$root" -B "$root/build" -DQUORVANTIDE_BUILD_TESTS=ON
cmake --build "$root/build" -j2
ctest --test-dir "$root/build" --output-on-failure
