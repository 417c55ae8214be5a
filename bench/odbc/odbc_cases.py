#!/usr/bin/python3
"""Two costs of the ODBC reader that follow one kind of cell, through SQLite's driver (no servers needed):

- long: one cell of MiB mebibytes (10 and 100 by default), the time to read it;
- wide: ROWS rows of COLUMNS TEXT columns whose texts fit the first buffers, the same with one row of
  1,000-character texts in every column, and with each column's 1,000-character text in a row of its own
  (in another block): the time of each, and how many times the reader ran the query.

    /usr/bin/python3 bench/odbc/odbc_cases.py [--build DIR] [--before READER] [--mib 10 100]
                                              [--rows N] [--columns 20 30 40] [--repeats N]

--before names a quibo_odbc_read built from another revision, timed beside this one (once for the long
cells). Each time is the best of --repeats runs (3). CI does not run it.
"""
import argparse
import os
import sqlite3
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def write(path, sql):
    db = sqlite3.connect(path)
    for statement in sql:
        db.execute(statement)
    db.commit()
    db.close()


def timed(command):
    start = time.perf_counter()
    child = subprocess.run(command, capture_output=True, text=True)
    seconds = time.perf_counter() - start
    if child.returncode != 0:
        sys.exit('%s failed: %s' % (command[0], child.stderr))
    executions = [line.split()[-1] for line in child.stderr.splitlines() if line.startswith('executions')]
    return seconds, executions[0] if executions else '-'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', default=os.path.join(ROOT, 'build'))
    parser.add_argument('--before', help='a quibo_odbc_read of another revision, timed as "before"')
    parser.add_argument('--mib', type=int, nargs='*', default=[10, 100])
    parser.add_argument('--rows', type=int, default=100000)
    parser.add_argument('--columns', type=int, nargs='*', default=[20, 30, 40])
    parser.add_argument('--repeats', type=int, default=3)
    args = parser.parse_args()
    readers = [('reader', os.path.join(args.build, 'bench', 'odbc', 'quibo_odbc_read'))]
    if args.before:
        readers.insert(0, ('before', args.before))
    folder = tempfile.mkdtemp(prefix='quibo-odbc-cases.')
    with open(os.path.join(folder, 'odbcinst.ini'), 'w') as f:
        f.write('[SQLite3]\nDriver=libsqlite3odbc.so\n')
    sources = []
    for mib in args.mib:
        path = os.path.join(folder, 'long%d.sqlite' % mib)
        write(path, ['create table LONGCELL (Id integer, Note text)',
                     "insert into LONGCELL values (1, printf('%%.*c', %d, 'x'))" % (mib << 20)])
        sources.append(('long %d MiB' % mib, 'Long%d' % mib, path, 'LONGCELL'))
    for columns in args.columns:
        names = ', '.join('T%d text' % c for c in range(1, columns + 1))
        for kind, label in (('', ''), ('Long', ', one long row'), ('Apart', ', long rows apart')):
            path = os.path.join(folder, 'wide%d%s.sqlite' % (columns, kind))
            cells = []
            for c in range(1, columns + 1):
                row = {'': 0, 'Long': args.rows // 2, 'Apart': c * (args.rows // (columns + 1))}[kind]
                cells.append("case when i = %d then printf('%%.1000c', 'y') else 'Text ' || i end" % row)
            write(path, ['create table WIDE (Id integer, %s)' % names,
                         'with recursive n(i) as (select 1 union all select i + 1 from n where i < %d) '
                         'insert into WIDE select i, %s from n' % (args.rows, ', '.join(cells))])
            sources.append(('wide %d%s' % (columns, label), 'Wide%d%s' % (columns, kind), path, 'WIDE'))
    with open(os.path.join(folder, 'odbc.ini'), 'w') as f:
        for _, dsn, path, _ in sources:
            f.write('[%s]\nDriver=SQLite3\nDatabase=%s\n\n' % (dsn, path))
    os.environ['ODBCSYSINI'] = folder
    os.environ['ODBCINI'] = os.path.join(folder, 'odbc.ini')
    print('SQLite, best of %d runs' % args.repeats)
    print('%-28s %-8s %9s %11s' % ('table', 'way', 'seconds', 'executions'))
    for name, dsn, _, table in sources:
        for way, reader in readers:
            # Long cells before this change took minutes: those are run once.
            repeats = 1 if way == 'before' and name.startswith('long') else args.repeats
            runs = [timed([reader, dsn, '', '', table]) for _ in range(repeats)]
            seconds = min(r[0] for r in runs)
            print('%-28s %-8s %9.3f %11s' % (name, way, seconds, runs[0][1]), flush=True)


if __name__ == '__main__':
    main()
