#!/usr/bin/env bash
# Runs the program and every reference that fits over each corpus fetch-corpora.sh laid out:
#   bench/corpus/run-corpora.sh DUMP CORPORA RESULTS [corpus...]
# RESULTS/<corpus>/ gets program.jsonl and, per reference, <ref>.jsonl, <ref>.txt (the comparison)
# and <ref>.json (every difference); RESULTS/summary.txt the summary line of each.
set -uo pipefail
dump=${1:?quibo-corpus-dump}
corpora=${2:?corpora folder}
results=${3:?results folder}
shift 3
here=$(cd "$(dirname "$0")" && pwd)
names=("$@")
[ ${#names[@]} -eq 0 ] && names=(xlrd poi xlsxwriter jackcess mdb-reader csv-spectrum rust-csv commons-csv)
mkdir -p "$results"
for name in "${names[@]}"; do
  out="$results/$name"
  mkdir -p "$out"
  refs=()
  has() { [ -n "$(find "$corpora/$name" "$@" -print -quit)" ]; }
  has -iname '*.xls' && refs+=(xlrd)
  has \( -iname '*.xlsx' -o -iname '*.xlsm' \) && refs+=(openpyxl)
  has \( -iname '*.csv' -o -iname '*.txt' \) && refs+=(csv)
  has \( -iname '*.mdb' -o -iname '*.accdb' \) && refs+=(jackcess mdbexport)
  reuse=()
  for ref in "${refs[@]}"; do
    /usr/bin/python3 "$here/run.py" --dump "$dump" --reference "$ref" --out "$out" --quiet "${reuse[@]}" \
      "$corpora/$name" >/dev/null 2>"$out/$ref.stderr"
    reuse=(--reuse-program)
    echo "$name / $ref: $(grep '^summary' "$out/$ref.txt")"
    grep '^class' "$out/$ref.txt" | sed 's/^/    /'
  done
done | tee "$results/summary.txt"
