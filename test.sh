#!/usr/bin/env bash
# Installs what is missing, builds the whole project with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang, fuzz targets included) and runs every test through CTest,
# against the private sound server, which the suite starts and stops itself. Window tests run
# offscreen; those labelled xvfb (`-L xvfb`) each run under xvfb-run on a private X server.
# The suite also builds the Debian package with cpack (build/test/package/) and checks it: its
# contents, and orvel-rec run from it unpacked into a temporary root (`-L package`).
#
#   ./test.sh                 everything, fuzzing runs included
#   ./test.sh -R <regex>      only the matching tests (passed on to ctest)
# ORVEL_FUZZ_SECONDS sets the length of each fuzzing run (default 20).
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)

./scripts/install-deps.sh

build="$root/build/test"
fuzz_seconds=${ORVEL_FUZZ_SECONDS:-20}
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DORVEL_SANITIZE=ON -DORVEL_FUZZ=ON -DORVEL_WERROR=ON \
  -DORVEL_FUZZ_SECONDS="$fuzz_seconds" >/dev/null
cmake --build "$build"

# Whatever happens to the run, the private sound server does not outlive it.
trap '"$root/tools/soundserver.sh" stop "$build/soundserver" >/dev/null 2>&1 || true' EXIT

jobs=$(nproc 2>/dev/null || echo 2)
ctest --test-dir "$build" --output-on-failure --timeout 600 -j "$jobs" "$@"
