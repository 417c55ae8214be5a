#!/usr/bin/python3
"""Chinook, the public sample database, through each ODBC driver, cell by cell: its SQLite file read by
the program (quibo-corpus-dump --odbc) against Python's sqlite3 reading the same file, and the program's
reading of the PostgreSQL and MySQL scripts' copies on the tests' private servers against the same
reference. Prints each difference and the count of cells compared and wrong. A difference that the
servers' own copy holds (the PostgreSQL script's N'Edinburgh ' is a CHAR that loses its trailing blank;
MySQL's string escapes drop the backslash of '\\ ') is the data, not the reading: check it against
the server before counting it wrong.

    /usr/bin/python3 bench/odbc/odbc_samples.py --dump build/bench/corpus/quibo-corpus-dump SAMPLES

SAMPLES holds Chinook_Sqlite.sqlite, Chinook_PostgreSql.sql and Chinook_MySql.sql of
github.com/lerocha/chinook-database (ChinookDatabase/DataSources). CI does not run it.
"""
import argparse
import datetime
import json
import os
import re
import sqlite3
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, 'bench', 'corpus'))
sys.path.insert(0, HERE)
import corpuslib  # noqa: E402
import odbc_bench  # noqa: E402


def reference(path):
    """Each table's rows as the program's grid shows SQLite's stored values, by lower-case name."""
    db = sqlite3.connect(path)
    tables = {}
    for (table,) in db.execute("select name from sqlite_master where type = 'table' and name not like 'sqlite_%'"):
        declared = [row[2].lower() for row in db.execute('pragma table_info("%s")' % table)]
        rows = []
        for row in db.execute('select * from "%s"' % table):
            cells = []
            for value, kind in zip(row, declared):
                if isinstance(value, str) and kind.startswith(('date', 'time')):
                    value = datetime.datetime.strptime(value, '%Y-%m-%d %H:%M:%S')
                cells.append(corpuslib.cell_text(value) if not isinstance(value, str) else value)
            rows.append(cells)
        tables[table.lower()] = rows
    return tables


def compare(name, dump, tables):
    """The differences of one dump from the reference: (cells compared, cells wrong)."""
    compared = wrong = 0
    key = lambda row: [(cell is None, cell) for cell in row]
    for line in dump.split('\n'):  # a cell may hold a character splitlines() would split at
        if not line:
            continue
        table = json.loads(line)
        expected = tables.get(table['table'].lower().replace('_', ''))
        if expected is None:
            continue
        got = table['rows']
        if len(got) != len(expected):
            print('%s %s: %d rows, %d expected' % (name, table['table'], len(got), len(expected)))
            wrong += 1
            continue
        # A server's rows come in its own order.
        for a, b in zip(sorted(got, key=key), sorted(expected, key=key)):
            for column, (x, y) in enumerate(zip(a, b)):
                compared += 1
                if x != y:
                    wrong += 1
                    print('%s %s column %d: %r, expected %r' % (name, table['table'], column, x, y))
    return compared, wrong


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--dump', required=True, help='quibo-corpus-dump')
    parser.add_argument('samples')
    args = parser.parse_args()
    tables = {name.replace('_', ''): rows for name, rows in
              reference(os.path.join(args.samples, 'Chinook_Sqlite.sqlite')).items()}
    folder = tempfile.mkdtemp(prefix='quibo-odbc-samples.')
    subprocess.run([odbc_bench.SERVERS, 'start', folder], check=True)
    try:
        if os.path.exists(os.path.join(folder, 'unavailable')):
            sys.exit('no servers: ' + open(os.path.join(folder, 'unavailable')).read())
        sources = odbc_bench.ini(os.path.join(folder, 'odbc.ini'))
        pg, ma = sources['QuiboPostgreSQL'], sources['QuiboMariaDB']
        # The scripts make a database of their own, which the tests' user may not: their tables go
        # into the user's database instead.
        script = lambda name: re.sub(r'(?im)^(drop database|create database|\\c |use ).*$', '',
                                     open(os.path.join(args.samples, name), encoding='utf-8').read())
        env = dict(os.environ, PGPASSWORD=odbc_bench.PASSWORD, PGCLIENTENCODING='UTF8')
        subprocess.run(['/usr/lib/postgresql/15/bin/psql', '-X', '-q', '-h', '127.0.0.1', '-p', pg['Port'], '-U',
                        odbc_bench.USER, '-d', 'quibo', '-v', 'ON_ERROR_STOP=1'],
                       input=script('Chinook_PostgreSql.sql'), text=True, check=True, env=env)
        subprocess.run(['mariadb', '--no-defaults', '--default-character-set=utf8mb4', '-h', '127.0.0.1', '-P',
                        ma['Port'], '-u', odbc_bench.USER, '-p' + odbc_bench.PASSWORD, 'quibo'],
                       input=script('Chinook_MySql.sql'), text=True, check=True)
        with open(os.path.join(folder, 'odbcinst.ini'), 'a') as f:
            f.write('\n[SQLite3]\nDriver=libsqlite3odbc.so\n')
        with open(os.path.join(folder, 'odbc.ini'), 'a') as f:
            f.write('\n[ChinookSQLite]\nDriver=SQLite3\nDatabase=%s\n'
                    % os.path.join(args.samples, 'Chinook_Sqlite.sqlite'))
        env = dict(os.environ, ODBCSYSINI=folder, ODBCINI=os.path.join(folder, 'odbc.ini'))
        total = [0, 0]
        for driver, command in [('SQLite', ['ChinookSQLite']),
                                ('PostgreSQL', ['QuiboPostgreSQL', odbc_bench.USER, odbc_bench.PASSWORD]),
                                ('MariaDB', ['QuiboMariaDB', odbc_bench.USER, odbc_bench.PASSWORD])]:
            dump = subprocess.run([args.dump, '--odbc'] + command, capture_output=True, text=True, env=env,
                                  check=True).stdout
            compared, wrong = compare(driver, dump, tables)
            print('%-10s %8d cells compared, %d differ' % (driver, compared, wrong))
            total[0] += compared
            total[1] += wrong
        print('all        %8d cells compared, %d differ' % tuple(total))
    finally:
        subprocess.run([odbc_bench.SERVERS, 'stop', folder])


if __name__ == '__main__':
    main()
