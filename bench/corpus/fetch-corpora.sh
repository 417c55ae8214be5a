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
# Real Access files beyond the libraries' test data: student projects, sample applications, VB6
# samples (Access 97 to 2019), every .mdb/.accdb of each repository at its commit.
access_wide=(
  "access-wide/1233213f+Access 1233213f/Access 88ad4aeb67227f69aa098aef93fd492de257b4cd \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/21Umair+Supermarket-database 21Umair/Supermarket-database 1b06f19fd8abe788df40909a8299bd8c6eb7d389 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/67008-source+Database_Systems_Project 67008-source/Database_Systems_Project 7c5c15ec69047c3ed57fe658ee34e4f6cba835e7 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Abdul-hadi-bits+access-database Abdul-hadi-bits/access-database 7643ddde98217c5f0e4950d52e6aeb3fb21f6b46 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Amont168+DataModeling-DatabaseDesign-Fall12 Amont168/DataModeling-DatabaseDesign-Fall12 59478aab2177150b8ca0ad2824b5ee4a05288679 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Bearden3+Databases Bearden3/Databases 08da88505595de58f7d945b2e749c4f7dd99b01e \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/BenM77+Restaurant-Database BenM77/Restaurant-Database 729e8ca000523764bc8b7307843a82945e162346 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/CosminManu+Access-dbs CosminManu/Access-dbs 801fe802f8ebb15a278e77eabd15fe69f7e7e2c8 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Dado20066+Access Dado20066/Access f0b25179f1740034067a2352ababf037b2e11778 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/GabrielLogue+Northwind-Database-Example GabrielLogue/Northwind-Database-Example b254ed3803ec6d0f79130b3ce4ae681cf88dcf6e \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Inshal240+Visual-Basic-Project Inshal240/Visual-Basic-Project fa9be4c65fecaf175d954b55b467263d7c3ba11b \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/PASANKALHARA+Phonebook PASANKALHARA/Phonebook 8a0721a6affe98e94d47242a94ed57285469df60 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+arbie-sarkissian-rbexplorer__1-50347 Planet-Source-Code/arbie-sarkissian-rbexplorer__1-50347 1de402e10e7226d95e34b3b1c082fd63f064cf86 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+arbie-sarkissian-report__1-39215 Planet-Source-Code/arbie-sarkissian-report__1-39215 42e79a2fbffb3a7fc3f8f2c6b5015f5f9005c3e6 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+brian-lockwood-ms-access-ado-stored-query-test-project__1-10189 Planet-Source-Code/brian-lockwood-ms-access-ado-stored-query-test-project__1-10189 6d9e45cb06568ec673229ec33dc14b9a9627f57e \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+dreamvb-ado-examples__1-61429 Planet-Source-Code/dreamvb-ado-examples__1-61429 6c92fda545898f908eb860307f6ef9492efbde38 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+erick-asas-bound-picture-box-image-control-sql-access-db-ado-and-vb__1-39378 Planet-Source-Code/erick-asas-bound-picture-box-image-control-sql-access-db-ado-and-vb__1-39378 09e0b97a8bf1399e2cc923c8f617793e686c9c69 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+ewart-maclucas-data-access-wrapper__1-9775 Planet-Source-Code/ewart-maclucas-data-access-wrapper__1-9775 b628309e231f5288fbf72cbdad6db37f0a306475 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+hamsters-at-xssi-net-basics-of-using-ado-vote-please__1-34547 Planet-Source-Code/hamsters-at-xssi-net-basics-of-using-ado-vote-please__1-34547 7fc73d0bf505d5cce4dd4296a18de1261918119b \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+jitin-mohandas-inserting-images-in-database__1-39566 Planet-Source-Code/jitin-mohandas-inserting-images-in-database__1-39566 6784d5d2efc3fddc1ce2e6d2d90e1a30e115b2cb \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+john-doejan2010-video-rental-system-using-ado__1-57388 Planet-Source-Code/john-doejan2010-video-rental-system-using-ado__1-57388 4cde5b2f69a187e186097550924d979b67e472d4 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+ken-huber-browser-loaded-with-features__1-43373 Planet-Source-Code/ken-huber-browser-loaded-with-features__1-43373 e90c9cb00eda9fd6cf59cb6313349c094758970f \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+roberto-dalmonte-updatedatabase__1-23676 Planet-Source-Code/roberto-dalmonte-updatedatabase__1-23676 e76fea3b2683dd271fad629b38f6e10d1f358de6 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+sauravraut-caller-id-with-address-book-updated__1-61236 Planet-Source-Code/sauravraut-caller-id-with-address-book-updated__1-61236 c3e27d36e239e1d89f106b8aefa0c0fb2161a3eb \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+saw-d-off-delete-from-msflexgrid__1-23553 Planet-Source-Code/saw-d-off-delete-from-msflexgrid__1-23553 a28b687469ed7d04dcfe69180df157c39a3c213f \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+sean-street-ms-access-db-to-xml-conversion-app-now-with-color-coded-xml-viewer__1-11589 Planet-Source-Code/sean-street-ms-access-db-to-xml-conversion-app-now-with-color-coded-xml-viewer__1-11589 129b63a2a9c4cee64d828cf2445d71a82a42e21e \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+shane-croft-anonymous-exchange-5-5-or-higher__1-12621 Planet-Source-Code/shane-croft-anonymous-exchange-5-5-or-higher__1-12621 1337afbd1fee7cb56dda358cc590b74aa06a3079 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Planet-Source-Code+tom-brennfleck-get-save-binary-object-to-database__1-21861 Planet-Source-Code/tom-brennfleck-get-save-binary-object-to-database__1-21861 179dd5ba38a5ece4d000a6aeaae00dc0ae5517be \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/RizkyKhapidsyah+ADO-And-DataReport__VB6 RizkyKhapidsyah/ADO-And-DataReport__VB6 f26c21a6c16bfba6b0b1490b49a0670780d9f9cc \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/RizkyKhapidsyah+Transfer-Data-Dari-MS-Excel-ke-MS-Access__VB6 RizkyKhapidsyah/Transfer-Data-Dari-MS-Excel-ke-MS-Access__VB6 1e83027b141e600c564e0f8d11f5fea9a6dc65e6 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/RizkyKhapidsyah+XLS-To-MDB__VB6 RizkyKhapidsyah/XLS-To-MDB__VB6 36866f83ab90ce9ed371b4d35d1f8e0b23e3e679 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/Staim+Databases Staim/Databases 38ad7fd21d79b8df0701a917ba628f2a2c3d3419 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/VladimirRepp+AccessCpp VladimirRepp/AccessCpp 92920df065450f08fd923c59cb118e76910b6e70 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/VladimirRepp+WinFormCppAndAccess VladimirRepp/WinFormCppAndAccess 512011dd2342512ef2b1ba1191ae666db921cd59 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/VladimirRepp+WinFormsCSharpAndAccess VladimirRepp/WinFormsCSharpAndAccess a5ce46608695b2237b2424a8cd58f67cfbae2b79 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/ailtonz+vba_msaccess ailtonz/vba_msaccess a5d5c60075aaf903620bcaa3f6e90487001c1057 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/ashish-2412+Hostel-management-system-using-VisualBasic6 ashish-2412/Hostel-management-system-using-VisualBasic6 f748e8d129b0f58a64f57518bbfc5b04390921ef \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/dfalbel+rccess dfalbel/rccess 1496077822c1a387b656332de598ca20f95e2a20 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/hahahaha02-bot+Database-Microsoft-Visual-Basic-6.0 hahahaha02-bot/Database-Microsoft-Visual-Basic-6.0 868686bb56b9931c2413682250f2e1b370b8647c \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/kpapazoglou+AccessingData kpapazoglou/AccessingData a941ae340f08ff0c2c5c43a77f0bee87655000b6 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/lucianogrion+vb6Nostalgia lucianogrion/vb6Nostalgia 5c7198ca6b605dcfc0bc014479d294e84c9b28b7 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/novri3h+SoftwareToko novri3h/SoftwareToko dd3416297e6acfd104e9bb2249fd8b2a022500d9 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/npsmith88+NorthwindDatabaseQueryTool npsmith88/NorthwindDatabaseQueryTool 92f2e2525235517f41cecd191ee8d19ec5f5e52e \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/prexos+Visual-Basic-Latihan-17 prexos/Visual-Basic-Latihan-17 4462b0de505f91fee1169fb8845de61b1a868222 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/prexos+Visual-Basic-Latihan-19 prexos/Visual-Basic-Latihan-19 83bca5a38e0fa65aac59dce8c8721e689fa88b80 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/prexos+Visual-Basic-Latihan-20 prexos/Visual-Basic-Latihan-20 293bcd4f55bd561d31b1626e6687568e7964928e \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/rhalp10+Inventory-System-CRUD-With-Database-Using-Visual-Basic-6 rhalp10/Inventory-System-CRUD-With-Database-Using-Visual-Basic-6 175534d2d5977e2c7e2473d4ef9c424e3de08d23 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/solondon+MSAccess2010InsideOutSampleCode solondon/MSAccess2010InsideOutSampleCode 252adcad5e11fc1ddf336a5fa93a3656516e8189 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/statdata+Northwind-Databse statdata/Northwind-Databse 4688b0f9ae99a6f623864178729e9345f40d3258 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/stiers+COPRO3_SampleVB6Program stiers/COPRO3_SampleVB6Program 0cb9a88cbb94c8c281e9f639a3d35b580a075306 \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
  "access-wide/syedkashanzikra+msacees syedkashanzikra/msacees 7cff054d8e7202d014bb94e838bf22d3a926fedf \.([mM][dD][bB]|[aA][cC][cC][dD][bB])$"
)
corpora+=("${access_wide[@]}")
for entry in "${corpora[@]}"; do
  read -r name repo commit pattern <<<"$entry"
  if [ -n "$mirror" ]; then
    git_dir="$mirror/${repo/\//+}/repo"
    # A mirror may keep a working copy, its git directory inside it.
    [ -d "$git_dir/.git" ] && git_dir="$git_dir/.git"
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
