#!/usr/bin/env bash
# Builds the benchmarks in a release build (build/bench) and runs every one of them. Each
# compares a path of the recorder with the bare library doing the same work and prints the
# ratio. Extra arguments go to every benchmark program (e.g. --benchmark_filter=Mp3).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${root}/build/bench"
cmake -S "${root}" -B "${build}" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVEL_TESTS=OFF \
      -DORVEL_BENCH=ON -DORVEL_SANITIZE=OFF -DORVEL_FUZZ=OFF > /dev/null
# Every bench/*.cpp is one program, bench_<name>.
programs=()
for source in "${root}"/bench/*.cpp; do
  name="$(basename "${source}" .cpp)"
  programs+=("bench_${name}")
done
if [ "${#programs[@]}" -eq 0 ]; then
  echo "no benchmark programs" >&2
  exit 1
fi
cmake --build "${build}" --target "${programs[@]}"
status=0
for program in "${programs[@]}"; do
  echo "== ${program}"
  "${build}/bench/${program}" "$@" || status=1
done
exit "${status}"
