#!/usr/bin/env bash
# Builds the control's libFuzzer target with clang in BUILD_DIR (configuring it the first
# time) and runs it with the given libFuzzer options, for example -seed=1 -runs=100000 or
# -max_total_time=600 CORPUS_DIR. The control's own code is instrumented too, so the
# fuzzer sees which of its branches an input reaches.
#
#   run.sh BUILD_DIR [LIBFUZZER_OPTION...] [CORPUS_DIR]
set -euo pipefail
[[ $# -ge 1 ]] || { sed -n '2,7s/^# \{0,1\}//p' "$0" >&2; exit 2; }
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(realpath -m "$1"); shift

if [[ ! -f $build_dir/CMakeCache.txt ]]; then
  cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DRAWLET_BUILD_FUZZERS=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    >/dev/null
fi
cmake --build "$build_dir" --target rawlet_control_fuzzer -j 2 >/dev/null

# A crashing input is written into BUILD_DIR and named in the output.
cd "$build_dir"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  "$build_dir/tests/fuzz/rawlet_control_fuzzer" -print_final_stats=1 "$@"
