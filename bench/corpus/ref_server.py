#!/usr/bin/python3
"""Reference for ODBC data sources on database servers: the server's own client (psql, mariadb),
every base table and then every view of the database, each row as the server writes it as JSON
(row_to_json, JSON_OBJECT), values shown as the program shows such values. The file is named as
quibo-corpus-dump --odbc names it, "DSN=<name>":

  ref_server.py --dsn NAME --psql="-h HOST -p PORT -U USER -d DB"
  ref_server.py --dsn NAME --mariadb="-h HOST -P PORT -u USER -pPASSWORD DB"

Known apart: binary columns (bytea, blob: "binary"); a PostgreSQL boolean, which psqlODBC hands out as
"1"/"0" by default ("driver-boolean"); a PostgreSQL array, its text "{a,b}" through the driver and a
JSON list here ("array"). PostgreSQL tables outside the public schema are not read.
"""

import argparse
import datetime
import decimal
import json
import shlex
import subprocess
import sys

import corpuslib

BINARY = ("bytea", "blob", "tinyblob", "mediumblob", "longblob", "binary", "varbinary")


def run(command, sql):
    done = subprocess.run(command + [sql], capture_output=True, check=True)
    return [line for line in done.stdout.decode("utf-8").split("\n") if line]


def text_of(value, kind):
    if value is None:
        return None
    if kind.lower() in BINARY:
        return corpuslib.apart(str(value)[:40], "binary")
    if isinstance(value, bool):
        # psqlODBC hands a boolean out as the text "1" or "0" unless told BoolsAsChar=0.
        return corpuslib.apart("True" if value else "False", "driver-boolean")
    if isinstance(value, list):
        return corpuslib.apart(json.dumps(value, ensure_ascii=False), "array")
    if isinstance(value, int):
        return str(value)
    if isinstance(value, decimal.Decimal):
        return corpuslib.number_text(float(value))
    if kind.lower().startswith(("timestamp", "datetime", "date")) and isinstance(value, str):
        when = datetime.datetime.fromisoformat(value.replace("T", " ")[:26])
        return corpuslib.date_text(corpuslib.round_to_second(when))
    return value if isinstance(value, str) else json.dumps(value)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dsn", required=True)
    parser.add_argument("--psql")
    parser.add_argument("--mariadb")
    args = parser.parse_args()
    out = corpuslib.Writer()
    key = "DSN=" + args.dsn
    if args.psql:
        client = ["psql", "-X", "-At"] + shlex.split(args.psql) + ["-c"]
        catalog = ("select table_name, table_type from information_schema.tables where table_schema = 'public' "
                   "order by table_type, lower(table_name)")
        columns_sql = ("select column_name, data_type from information_schema.columns where table_schema = 'public' "
                       "and table_name = '%s' order by ordinal_position")
    else:
        client = ["mariadb", "-N", "-B", "-r"] + shlex.split(args.mariadb) + ["-e"]
        catalog = ("select table_name, table_type from information_schema.tables where table_schema = database() "
                   "order by table_type, lower(table_name)")
        columns_sql = ("select column_name, data_type from information_schema.columns where table_schema = "
                       "database() and table_name = '%s' order by ordinal_position")
    try:
        tables = [line.split("|" if args.psql else "\t")[0] for line in run(client, catalog)]
    except subprocess.CalledProcessError as e:
        out.error(key, e.stderr.decode("utf-8", "replace").strip())
        return
    for table in tables:
        try:
            columns = [line.split("|" if args.psql else "\t") for line in run(client, columns_sql % table)]
            if args.psql:
                sql = 'select row_to_json(t)::text from "%s" t' % table
            else:
                sql = "select json_object(%s) from `%s`" % (
                    ", ".join("'%s', `%s`" % (name, name) for name, _ in columns), table)
            rows = []
            for line in run(client, sql):
                record = json.loads(line, parse_float=decimal.Decimal)
                rows.append([text_of(record.get(name), kind) for name, kind in columns])
        except subprocess.CalledProcessError as e:
            out.error(key, e.stderr.decode("utf-8", "replace").strip(), table)
            continue
        out.table(key, table, [name for name, _ in columns], rows)


if __name__ == "__main__":
    sys.exit(main())
