#!/usr/bin/python3
"""Loads one table of ROWS x 20 columns (a LEDGERS table) through each ODBC driver, SQLite, PostgreSQL and
MariaDB, three ways in one run: the program's backend (quibo_odbc_read), a bare block-fetch loop in C
(quibo_odbc_bare, the driver's limit) and isql; prints the best wall time of REPEATS runs, its ratio to
the bare loop's best, the median of the ratios within each round (the readers take turns, so a slow
moment of a shared machine falls on a round's readers alike) and the peak resident memory of each. The servers are the
tests' private ones (tests/sources/backends/odbc-servers), started and stopped here. CI does not run it.

    /usr/bin/python3 bench/odbc/odbc_bench.py [--build DIR] [--rows N] [--repeats N] [--before READER]

--before names a quibo_odbc_read built from another revision, timed beside this one as "before".
"""
import argparse
import csv
import datetime
import os
import subprocess
import sqlite3
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SERVERS = os.path.join(ROOT, 'tests', 'sources', 'backends', 'odbc-servers')
USER, PASSWORD = 'clerk', 'p;w}d'

COLUMNS = [('Name', 'varchar(60)'), ('Parent', 'varchar(60)'), ('Alias', 'varchar(60)'),
           ('MailingName', 'varchar(100)'), ('Address1', 'varchar(100)'), ('Address2', 'varchar(100)'),
           ('State', 'varchar(40)'), ('PinCode', 'varchar(10)'), ('Country', 'varchar(40)'),
           ('GSTIN', 'varchar(20)'), ('PAN', 'varchar(12)'), ('Phone', 'varchar(20)'), ('Email', 'varchar(80)'),
           ('OpeningBalance', 'numeric(14,2)'), ('CreditLimit', 'numeric(14,2)'), ('CreditPeriod', 'integer'),
           ('BillWise', 'varchar(5)'), ('Rate', 'real'), ('Opened', 'date'), ('Note', 'varchar(200)')]
GROUPS = ['Sundry Debtors', 'Sundry Creditors', 'Bank Accounts', 'Sales Accounts', 'Indirect Expenses']
STATES = ['Maharashtra', 'Karnataka', 'Tamil Nadu', 'Gujarat', 'Delhi', 'West Bengal']


def rows(count):
    start = datetime.date(2024, 4, 1)
    for i in range(1, count + 1):
        yield ['Ledger %06d' % i, GROUPS[i % len(GROUPS)], 'L%d' % i, 'M/s Ledger %d Traders' % i,
               '%d, Main Road' % (i % 500), 'Sector %d' % (i % 90), STATES[i % len(STATES)], '%06d' % (400000 + i % 99999),
               'India', '27AAAPL%04dC1Z5' % (i % 10000), 'AAAPL%04dC' % (i % 10000), '+91 98%08d' % i,
               'ledger%d@example.com' % i, '%.2f' % (i * 1.25 - 5000), '%.2f' % (i % 100 * 1000), str(i % 90),
               'Yes' if i % 2 else 'No', '%.1f' % (i % 1000 / 10), (start + datetime.timedelta(days=i % 365)).isoformat(),
               '' if i % 7 == 0 else ('\\N' if i % 11 == 0 else 'Opening ledger imported in batch %d' % (i // 100))]


def table_sql():
    return 'create table LEDGERS (%s)' % ', '.join('%s %s' % c for c in COLUMNS)


def ini(path):
    sections, current = {}, None
    for line in open(path):
        line = line.strip()
        if line.startswith('['):
            current = sections.setdefault(line[1:-1], {})
        elif '=' in line and current is not None:
            k, v = line.split('=', 1)
            current[k] = v
    return sections


def load(folder, count):
    data = os.path.join(folder, 'ledgers.csv')
    with open(data, 'w', newline='') as f:
        csv.writer(f, lineterminator='\n').writerows(rows(count))
    sources = ini(os.path.join(folder, 'odbc.ini'))
    pg, ma = sources['QuiboPostgreSQL'], sources['QuiboMariaDB']
    env = dict(os.environ, PGPASSWORD=PASSWORD)
    subprocess.run(['/usr/lib/postgresql/15/bin/psql', '-X', '-q', '-h', '127.0.0.1', '-p', pg['Port'], '-U', USER,
                    '-d', 'quibo', '-v', 'ON_ERROR_STOP=1', '-c', table_sql(),
                    '-c', "\\copy LEDGERS from '%s' with (format csv, null '\\N')" % data], check=True, env=env)
    subprocess.run(['mariadb', '--no-defaults', '--local-infile=1', '-h', '127.0.0.1', '-P', ma['Port'], '-u', USER,
                    '-p' + PASSWORD, 'quibo', '-e',
                    table_sql() + " character set utf8mb4; load data local infile '%s' into table LEDGERS "
                    "fields terminated by ',' optionally enclosed by '\"' lines terminated by '\\n'" % data],
                   check=True)
    database = os.path.join(folder, 'bench.sqlite')
    db = sqlite3.connect(database)
    db.execute(table_sql())
    db.executemany('insert into LEDGERS values (%s)' % ','.join('?' * len(COLUMNS)),
                   ([None if v == '\\N' else v for v in r] for r in rows(count)))
    db.commit()
    db.close()
    with open(os.path.join(folder, 'odbcinst.ini'), 'a') as f:
        f.write('\n[SQLite3]\nDriver=libsqlite3odbc.so\n')
    with open(os.path.join(folder, 'odbc.ini'), 'a') as f:
        f.write('\n[QuiboSQLite]\nDriver=SQLite3\nDatabase=%s\n' % database)


def run(command, stdin=None):
    """Wall seconds and peak MiB of one run of command; its output is checked for the row count."""
    # GNU time measures the peak: a child forked from this process would count this one's memory too.
    with tempfile.NamedTemporaryFile('r') as measured:
        start = time.perf_counter()
        child = subprocess.run(['/usr/bin/time', '-o', measured.name, '-f', '%M'] + command, input=stdin,
                               capture_output=True, text=True)
        seconds = time.perf_counter() - start
        if child.returncode != 0:
            sys.exit('%s failed: %s' % (command[0], child.stderr))
        return seconds, int(measured.read().split()[-1]) / 1024, child.stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', default=os.path.join(ROOT, 'build'))
    parser.add_argument('--rows', type=int, default=100000)
    parser.add_argument('--repeats', type=int, default=3)
    parser.add_argument('--before', help='a quibo_odbc_read of another revision, timed as "before"')
    args = parser.parse_args()
    reader = os.path.join(args.build, 'bench', 'odbc', 'quibo_odbc_read')
    bare = os.path.join(args.build, 'bench', 'odbc', 'quibo_odbc_bare')
    folder = tempfile.mkdtemp(prefix='quibo-odbc-bench.')
    subprocess.run([SERVERS, 'start', folder], check=True)
    try:
        if os.path.exists(os.path.join(folder, 'unavailable')):
            sys.exit('no servers: ' + open(os.path.join(folder, 'unavailable')).read())
        load(folder, args.rows)
        os.environ['ODBCSYSINI'] = folder
        os.environ['ODBCINI'] = os.path.join(folder, 'odbc.ini')
        ways = [('program', lambda dsn: ([reader, dsn, USER, PASSWORD, 'LEDGERS'], None))]
        if args.before:
            ways.insert(0, ('before', lambda dsn: ([args.before, dsn, USER, PASSWORD, 'LEDGERS'], None)))
        ways += [('bare loop', lambda dsn: ([bare, dsn, USER, PASSWORD, 'select * from LEDGERS'], None)),
                 ('isql', lambda dsn: (['isql', '-b', '-q', dsn, USER, PASSWORD], 'select * from LEDGERS\n'))]
        print('%d rows x %d columns, best of %d runs' % (args.rows, len(COLUMNS), args.repeats))
        print('%-11s %-10s %9s %9s %9s %10s' % ('driver', 'reader', 'seconds', 'x bare', 'median x', 'peak MiB'))
        for driver, dsn in [('SQLite', 'QuiboSQLite'), ('PostgreSQL', 'QuiboPostgreSQL'), ('MariaDB', 'QuiboMariaDB')]:
            rounds = []
            for _ in range(args.repeats):
                # Interleaved, so that a slow moment of the machine falls on every reader alike.
                measured = {}
                for name, command in ways:
                    seconds, peak, out = run(*command(dsn))
                    if name != 'isql' and out.strip() != str(args.rows):
                        sys.exit('%s read %s rows through %s' % (name, out.strip(), driver))
                    measured[name] = (seconds, peak)
                rounds.append(measured)
            fastest_bare = min(r['bare loop'][0] for r in rounds)
            for name, _ in ways:
                seconds = min(r[name][0] for r in rounds)
                ratio = statistics.median(r[name][0] / r['bare loop'][0] for r in rounds)
                peak = max(r[name][1] for r in rounds)
                print('%-11s %-10s %9.3f %9.2f %9.2f %10.1f' % (driver, name, seconds, seconds / fastest_bare, ratio, peak))
    finally:
        subprocess.run([SERVERS, 'stop', folder])


if __name__ == '__main__':
    main()
