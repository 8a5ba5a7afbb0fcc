#!/usr/bin/env bash
# Runs the corpus program of the Linux build and of the Windows build (under Wine, through
# scripts/wine-run) and compares their outputs byte for byte.
# Usage: compare.sh LINUX_PROGRAM WINDOWS_PROGRAM.exe [WINE_PREFIX]
# Exits 77 when the Windows program or Wine is not there, so that CTest reports a skip.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: compare.sh LINUX_PROGRAM WINDOWS_PROGRAM.exe [WINE_PREFIX]" >&2; exit 2; }
linux_program=$1
windows_program=$2
if [ ! -f "$windows_program" ] || ! command -v wine >/dev/null; then
    echo "compare.sh: no Windows build at $windows_program, or no Wine: skipped" >&2
    exit 77
fi
windows_program=$(realpath "$windows_program")
prefix=${3:-$(dirname "$(dirname "$windows_program")")/wineprefix}
wine_run=$(dirname "$0")/../../../scripts/wine-run

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$linux_program" "$work/linux.txt"
# Wine's Z: drive is the Linux root.
"$wine_run" "$prefix" "$windows_program" "Z:$work/windows.txt"

if cmp -s "$work/linux.txt" "$work/windows.txt"; then
    echo "identical: $(grep -c '^path ' "$work/linux.txt") paths, $(wc -c < "$work/linux.txt") bytes"
    exit 0
fi
echo "the outputs differ (Linux first, Windows second):" >&2
diff "$work/linux.txt" "$work/windows.txt" | head -60 >&2
echo "differing lines: $(diff "$work/linux.txt" "$work/windows.txt" | grep -c '^<' || true)" >&2
exit 1
