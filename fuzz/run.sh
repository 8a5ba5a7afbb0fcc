#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for a while.
# Usage: fuzz/run.sh [SECONDS_PER_TARGET=60] [TARGET...]
# New inputs go to a scratch corpus; the seeds in fuzz/corpus/<target>/ are only read.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(isplit_path find_last_char left_whole_chars directory_tree)
build=$here/../build/linux-fuzz

cd "$here/.."
cmake --preset linux-fuzz >/dev/null
cmake --build --preset linux-fuzz --target "${targets[@]/%/_fuzzer}" >/dev/null
for target in "${targets[@]}"; do
    scratch="$build/corpus/$target"
    mkdir -p "$scratch" "$build/artifacts/$target"
    echo "== $target, $seconds s"
    "$build/bin/${target}_fuzzer" -max_total_time="$seconds" -max_len=600 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target/" "$scratch" "$here/corpus/$target" 2>&1 |
        grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' || true
    if compgen -G "$build/artifacts/$target/*" >/dev/null; then
        echo "findings: $(ls "$build/artifacts/$target")"
        status=1
    fi
done
exit "${status:-0}"
