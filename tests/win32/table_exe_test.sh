#!/bin/sh
# freqcode-table.exe as a person runs it on Windows: a list whose file name
# is not ASCII, and CSV written byte for byte (no CR added before LF).
# Usage: table_exe_test.sh WINE_RUN PREFIX freqcode-table.exe SAMPLE.csv
set -eu
run=$1
prefix=$2
exe=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$4" "$work/Kanäle.csv"

status=0
"$run" "$prefix" "$exe" --csv "$work/Kanäle.csv" >"$work/out.csv" 2>"$work/err.txt" || status=$?
[ "$status" -eq 1 ] || { echo "exit status $status, expected 1 (the sample has failing channels)"; cat "$work/err.txt"; exit 1; }
grep -q "Kanäle.csv: line 8: rx 145503" "$work/err.txt" || { echo "no message naming the file:"; cat "$work/err.txt"; exit 1; }
[ "$(wc -l <"$work/out.csv")" -eq 11 ] || { echo "not 11 lines of CSV"; exit 1; }
if grep -q "$(printf '\r')" "$work/out.csv"; then echo "CR in the CSV output"; exit 1; fi
echo "freqcode-table.exe read $(basename "$work/Kanäle.csv") and wrote plain LF CSV"
