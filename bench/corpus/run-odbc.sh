#!/usr/bin/env bash
# The ODBC sources held to the databases' own clients, on the public sample databases that
# fetch-corpora.sh lays out (chinook, sakila, northwind):
#   bench/corpus/run-odbc.sh DUMP CORPORA RESULTS
# SQLite (Chinook, Northwind) through the SQLite ODBC driver against SQLite's library; PostgreSQL
# (Chinook, Sakila) and MariaDB (Chinook) on the private servers the ODBC tests start
# (tests/sources/backends/odbc-servers), against psql and mariadb. RESULTS/odbc-*/ get the outputs
# and comparisons.
set -uo pipefail
dump=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
corpora=$(cd "${2:?corpora folder}" && pwd)
results=${3:?results folder}
here=$(cd "$(dirname "$0")" && pwd)
servers="$here/../../tests/sources/backends/odbc-servers"
mkdir -p "$results/odbc-sqlite" "$results/odbc-servers"
results=$(cd "$results" && pwd)

# Northwind comes as SQL; the database is built once, without syncing every insert.
northwind="$results/odbc-sqlite/northwind.sqlite"
if [ ! -f "$northwind" ]; then
  { echo "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"; cat "$corpora/northwind/src/create.sql"; } |
    sqlite3 "$northwind" >/dev/null
fi
/usr/bin/python3 "$here/run.py" --dump "$dump" --reference sqlite --out "$results/odbc-sqlite" --quiet \
  "$corpora/chinook/ChinookDatabase/DataSources/Chinook_Sqlite.sqlite" "$northwind"

folder=$(mktemp -d)
trap '"$servers" stop "$folder"; rm -rf "$folder"' EXIT
"$servers" start "$folder" >/dev/null || { cat "$folder/unavailable"; exit 1; }
data=$(cat "$folder/data")
pg=$(cat "$data/pg.port")
ma=$(sed -n '/QuiboMariaDB/,$ s/^Port=//p' "$folder/odbc.ini")
psql=(psql -X -q -h 127.0.0.1 -p "$pg" -U quibo -v ON_ERROR_STOP=0)
"${psql[@]}" -d postgres -f "$corpora/chinook/ChinookDatabase/DataSources/Chinook_PostgreSql.sql" >/dev/null 2>&1
"${psql[@]}" -d postgres -c "create database sakila" >/dev/null
# The schema's owner changes name a role the cluster lacks; the tables load all the same.
"${psql[@]}" -d sakila -f "$corpora/sakila/postgres-sakila-db/postgres-sakila-schema.sql" >/dev/null 2>&1
"${psql[@]}" -d sakila -f "$corpora/sakila/postgres-sakila-db/postgres-sakila-insert-data-using-copy.sql" >/dev/null 2>&1
mariadb --no-defaults --socket="$data/mariadb.sock" -uroot <"$corpora/chinook/ChinookDatabase/DataSources/Chinook_MySql.sql"
mariadb --no-defaults --socket="$data/mariadb.sock" -uroot -e "grant select on Chinook.* to 'clerk'@'127.0.0.1'"
cat >"$folder/corpus.ini" <<INI
[CorpusChinookPG]
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$pg
Database=chinook

[CorpusSakilaPG]
Driver=PostgreSQL Unicode
Servername=127.0.0.1
Port=$pg
Database=sakila

[CorpusChinookMA]
Driver=MariaDB Unicode
Server=127.0.0.1
Port=$ma
Database=Chinook
INI
export ODBCSYSINI="$folder" ODBCINI="$folder/corpus.ini"
out="$results/odbc-servers"
compare() { /usr/bin/python3 "$here/compare.py" "$out/$1.jsonl" "$out/$2.jsonl" --json "$out/$2.json" >"$out/$2.txt"; echo "$2: $(grep '^summary' "$out/$2.txt")"; grep '^class' "$out/$2.txt" | sed 's/^/    /'; }
"$dump" --odbc CorpusChinookPG quibo "" >"$out/program-chinook-pg.jsonl"
/usr/bin/python3 "$here/ref_server.py" --dsn CorpusChinookPG --psql="-h 127.0.0.1 -p $pg -U quibo -d chinook" >"$out/psql-chinook.jsonl"
compare program-chinook-pg psql-chinook
"$dump" --odbc CorpusSakilaPG quibo "" >"$out/program-sakila-pg.jsonl"
/usr/bin/python3 "$here/ref_server.py" --dsn CorpusSakilaPG --psql="-h 127.0.0.1 -p $pg -U quibo -d sakila" >"$out/psql-sakila.jsonl"
compare program-sakila-pg psql-sakila
"$dump" --odbc CorpusChinookMA clerk 'p;w}d' >"$out/program-chinook-mariadb.jsonl"
/usr/bin/python3 "$here/ref_server.py" --dsn CorpusChinookMA --mariadb="-h 127.0.0.1 -P $ma -u clerk -pp;w}d Chinook" >"$out/mariadb-chinook.jsonl"
compare program-chinook-mariadb mariadb-chinook
