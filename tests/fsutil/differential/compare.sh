#!/usr/bin/env bash
# Runs the corpus programs of the Linux build and of the Windows build (under Wine, through
# scripts/wine-run) and compares their outputs byte for byte: the path splitter's over a fixed
# corpus, and the search's, each over a folder tree that the program builds itself. Lines that
# search_corpus marks "known" are differences that remain by design, each with its reason
# written beside it; they are shown, not compared.
# Usage: compare.sh LINUX_BIN_DIR WINDOWS_BIN_DIR [WINE_PREFIX]
# Exits 77 when the Windows programs or Wine are not there, so that CTest reports a skip.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: compare.sh LINUX_BIN_DIR WINDOWS_BIN_DIR [WINE_PREFIX]" >&2; exit 2; }
linux_bin=$1
windows_bin=$2
for program in split_corpus search_corpus; do
    if [ ! -f "$windows_bin/$program.exe" ] || ! command -v wine >/dev/null; then
        echo "compare.sh: no $program.exe in $windows_bin, or no Wine: skipped" >&2
        exit 77
    fi
done
windows_bin=$(realpath "$windows_bin")
prefix=${3:-$(dirname "$windows_bin")/wineprefix}
scripts=$(dirname "$0")/../../../scripts
# The Windows build is x86, or x86-64 where the kernel runs no 32-bit program: the PE header's
# machine field says which Wine starts its programs.
pe_header=$(od -An -tu4 -j60 -N4 "$windows_bin/split_corpus.exe" | tr -d ' ')
case $(od -An -tx2 -j$((pe_header + 4)) -N2 "$windows_bin/split_corpus.exe" | tr -d ' ') in
    014c) arch=x86 ;;
    8664) arch=x64 ;;
    *) echo "compare.sh: $windows_bin/split_corpus.exe is neither x86 nor x86-64" >&2; exit 1 ;;
esac
# Wine that cannot start at all (a kernel that runs no 32-bit code says "Exec format error")
# is a failure with its reason, never a silent one.
if ! "$scripts/prepare-wine" --arch="$arch" --probe; then
    echo "compare.sh: Wine cannot start the $arch programs in $windows_bin here" >&2
    exit 1
fi
wine_run=("$scripts/wine-run" --arch="$arch")

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir "$work/linux-tree" "$work/windows-tree"
# Wine's Z: drive is the Linux root.
windows_work="Z:$(printf '%s' "$work" | tr / '\\')"

"$linux_bin/split_corpus" "$work/linux-split.txt"
"${wine_run[@]}" "$prefix" "$windows_bin/split_corpus.exe" "$windows_work\\windows-split.txt"
"$linux_bin/search_corpus" "$work/linux-tree" "$work/linux-search.txt"
"${wine_run[@]}" "$prefix" "$windows_bin/search_corpus.exe" "$windows_work\\windows-tree" \
    "$windows_work\\windows-search.txt"

status=0
compare() {  # name linux windows
    if cmp -s "$2" "$3"; then
        echo "$1: identical, $(wc -l < "$2") lines"
        return
    fi
    echo "$1: the outputs differ (Linux first, Windows second):" >&2
    diff "$2" "$3" | head -80 >&2 || true
    echo "$1: differing lines: $(diff "$2" "$3" | grep -c '^<' || true)" >&2
    status=1
}
compare "path splitter" "$work/linux-split.txt" "$work/windows-split.txt"
grep -v '^known' "$work/linux-search.txt" > "$work/linux-compared.txt"
grep -v '^known' "$work/windows-search.txt" > "$work/windows-compared.txt"
compare "search" "$work/linux-compared.txt" "$work/windows-compared.txt"

# The known differences, side by side; one that no longer differs is worth a look.
grep '^known' "$work/linux-search.txt" > "$work/linux-known.txt" || true
grep '^known' "$work/windows-search.txt" > "$work/windows-known.txt" || true
echo "known differences: $(grep -c '^known find' "$work/linux-known.txt" || true) queries"
if cmp -s "$work/linux-known.txt" "$work/windows-known.txt"; then
    echo "note: the known differences answered alike on both; the list may be out of date"
else
    diff "$work/linux-known.txt" "$work/windows-known.txt" | grep -v 'because' | head -40 || true
fi
exit "$status"
