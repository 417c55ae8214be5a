#!/usr/bin/env bash
# Copies the public corpora named in CORPORA.md into a folder outside the repository:
#   bench/corpus/fetch-corpora.sh /work/corpora [git-dir-root]
# Each corpus is taken at the commit CORPORA.md names. With a git-dir root (a folder of bare copies
# named owner+name/repo, as a mirror keeps them) nothing is downloaded; otherwise each repository is
# cloned shallowly from GitHub into <destination>/.git-cache.
set -euo pipefail
dest=${1:?destination folder}
mirror=${2:-}
mkdir -p "$dest"
# name  owner/repo  commit  path-regex (over the repository's paths)
corpora=(
  "xlrd python-excel/xlrd 3a19d22014d7b3f3041b7188d21a653c18c709bf ^tests/samples/.*\.(xls|xlsx)$"
  "poi apache/poi a528d43590b3f71aa94310de881a35af887fdd0f ^test-data/spreadsheet/[^/]*\.(xls|xlsx|xlsm|csv|txt)$"
  "xlsxwriter jmcnamara/XlsxWriter cf3fe78d3eab5e4c7d825d4451af3a60e2a04011 ^xlsxwriter/test/comparison/xlsx_files/.*\.xlsx$"
  "jackcess jahlborn/jackcess 7a3433dc34cfb8d68b2530215b1027b4dec4bdde ^src/test/data/.*\.(mdb|accdb)$"
  "mdb-reader andipaetzold/mdb-reader 42b25c7aee6154ab11d0aa7f901fbd8bca3d5fd5 ^test/.*\.(mdb|accdb)$"
  "csv-spectrum max-mapper/csv-spectrum d30e80f8b99d2eecb3778f1d7b9ed1cb425502ec ^csvs/.*\.csv$"
  "rust-csv BurntSushi/rust-csv 4a3997e91d668ea1d8595bdef15625a77cf2308a ^examples/data/[^/]*\.csv$"
  "commons-csv apache/commons-csv d9b9f062b84ea02a30a7817789a2bb71a21c51a9 ^src/test/resources/.*\.(csv|txt)$"
  # Workbooks and text files of more spreadsheet and CSV libraries.
  "roo roo-rb/roo 20d424f8bf96f20929a8bbf4184e059cfd029531 ^test/files/.*\.(xls|xlsx|xlsm|csv|txt)$"
  "exceldatareader ExcelDataReader/ExcelDataReader 250bb0178eee7a32d205397379557c82c1bfe837 ^src/TestData/.*\.(xls|xlsx|xlsm|csv|txt)$"
  "phpspreadsheet PHPOffice/PhpSpreadsheet 11645d54ac203be6693309f0cd5153a4dfbf3761 ^(tests/data|samples)/.*\.(xls|xlsx|xlsm|csv|txt)$"
  "duckdb-csv duckdb/duckdb 044a04a7cd39e6e8235f756597ae42dde084e5e5 ^data/csv/.*\.(csv|txt)$"
  "calamine tafia/calamine 263762c8e98ef25da8511d9c5ea1783493e3bf6d ^tests/.*\.(xls|xlsx|xlsm|csv|txt)$"
  "exceljs exceljs/exceljs 5bed18b45e824f409b08456b59b87430ded023ab ^(spec|test)/.*\.(xls|xlsx|xlsm|csv)$"
  "sheetjs SheetJS/test_files fb4bdf0158ba308c182f82663b61607bb79cd4b5 ^([^2/][^/]*/)?[^/]*\.(xls|xlsx|xlsm)$"
  "closedxml ClosedXML/ClosedXML f77503d58e0edaefea5108739548d1568fe377e6 ^ClosedXML\.Tests/Resource/.*\.(xlsx|xlsm|csv)$"
  "npoi nissl-lab/npoi 30569a82f1f4b3fb0232edcf9eb886a6a63cb9a1 ^testcases/test-data/spreadsheet/.*\.(xls|xlsx|xlsm|csv|txt)$"
  "excelize qax-os/excelize 8d26cbd932e8ff9e12dc42f7fef245baf7773b72 ^test/.*\.(xls|xlsx|xlsm)$"
  "tabulator frictionlessdata/tabulator-py aecfa88d7ae8c633b1f8b691d061c5e9609ad95d ^data/.*\.(xls|xlsx|xlsm|csv|txt)$"
  "chinook lerocha/chinook-database 7f67772503d71ba90f19283c38e93923addb43fa ^ChinookDatabase/DataSources/Chinook_(Sqlite\.sqlite|PostgreSql\.sql|MySql\.sql)$"
  "sakila jOOQ/sakila e089a5b1ec9af0df7a9c6a5d47d49fa1736a4e84 ^postgres-sakila-db/postgres-sakila-(schema|insert-data-using-copy)\.sql$"
  "northwind jpwhite3/northwind-SQLite3 4f56e7f5906dfd23b25244c5bfe8fb5da6402efd ^src/create\.sql$"
)
for entry in "${corpora[@]}"; do
  read -r name repo commit pattern <<<"$entry"
  if [ -n "$mirror" ]; then
    git_dir="$mirror/${repo/\//+}/repo"
  else
    git_dir="$dest/.git-cache/${repo/\//+}"
    if [ ! -d "$git_dir" ]; then
      git init -q --bare "$git_dir"
      git --git-dir="$git_dir" fetch -q --depth 1 "https://github.com/$repo" "$commit"
    fi
  fi
  out="$dest/$name"
  rm -rf "$out"
  mkdir -p "$out"
  # Each file keeps its path, so that files of one name in two folders stay apart.
  git --git-dir="$git_dir" ls-tree -r --name-only "$commit" | grep -E "$pattern" |
    while IFS= read -r path; do
      mkdir -p "$out/$(dirname "$path")"
      # A snapshot may lack its largest files: they are left out and named.
      git --git-dir="$git_dir" cat-file blob "$commit:$path" >"$out/$path" 2>/dev/null ||
        { rm -f "$out/$path"; echo "$name: not in the snapshot: $path" >&2; }
    done
  echo "$name: $(find "$out" -type f | wc -l) files"
done
