#!/usr/bin/python3
"""Loads one table of ROWS x 20 columns (a LEDGERS table, two of them TEXT, one of Unicode names) through
each ODBC driver, SQLite, PostgreSQL and MariaDB, in one run: the program's backend (quibo_odbc_read), a
bare block-fetch loop in C fetching texts wide (UTF-16) and narrow (UTF-8) (quibo_odbc_bare, the driver's
limit), the whole program loading the table unattended (argument 8 LOAD, no server to post to) and
`isql -b -d,`; prints the best wall time of REPEATS runs and its rows a second, the reader's ratio to
the faster bare loop, the program's to isql, the median of the ratios within each round (the readers take turns, so a slow moment
of a shared machine falls on a round's readers alike) and the peak resident memory of each. The reader
and the bare loop both start as the program does (StartUp.cpp: its heap on large pages). The servers
are the tests' private ones (tests/sources/backends/odbc-servers), started and stopped here. CI does not
run it.

    /usr/bin/python3 bench/odbc/odbc_bench.py [--build DIR] [--rows N] [--repeats N]
                                              [--before READER] [--before-program QUIBO]

--before names a quibo_odbc_read built from another revision, --before-program that revision's quibo;
each is timed beside this one as "before".
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
           ('MailingName', 'varchar(100)'), ('Address1', 'text'), ('Address2', 'varchar(100)'),
           ('State', 'varchar(40)'), ('PinCode', 'varchar(10)'), ('Country', 'varchar(40)'),
           ('GSTIN', 'varchar(20)'), ('PAN', 'varchar(12)'), ('Phone', 'varchar(20)'), ('Email', 'varchar(80)'),
           ('OpeningBalance', 'numeric(14,2)'), ('CreditLimit', 'numeric(14,2)'), ('CreditPeriod', 'integer'),
           ('BillWise', 'varchar(5)'), ('Rate', 'real'), ('Opened', 'date'), ('Note', 'text')]
GROUPS = ['Sundry Debtors', 'Sundry Creditors', 'Bank Accounts', 'Sales Accounts', 'Indirect Expenses']
STATES = ['Maharashtra', 'Karnataka', 'Tamil Nadu', 'Gujarat', 'Delhi', 'West Bengal']
MAILING = ['M/s Ledger %d Traders', 'Último Pau-De-Arara Traders %d', 'नकद खाता %d', 'Ørsted Ænergi Ltd %d']


def rows(count):
    start = datetime.date(2024, 4, 1)
    for i in range(1, count + 1):
        yield ['Ledger %06d' % i, GROUPS[i % len(GROUPS)], 'L%d' % i, MAILING[i % len(MAILING)] % i,
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
    env = dict(os.environ, PGPASSWORD=PASSWORD, PGCLIENTENCODING='UTF8')
    subprocess.run(['/usr/lib/postgresql/15/bin/psql', '-X', '-q', '-h', '127.0.0.1', '-p', pg['Port'], '-U', USER,
                    '-d', 'quibo', '-v', 'ON_ERROR_STOP=1', '-c', table_sql(),
                    '-c', "\\copy LEDGERS from '%s' with (format csv, null '\\N')" % data], check=True, env=env)
    subprocess.run(['mariadb', '--no-defaults', '--default-character-set=utf8mb4', '--local-infile=1', '-h', '127.0.0.1', '-P', ma['Port'], '-u', USER,
                    '-p' + PASSWORD, 'quibo', '-e',
                    table_sql() + " character set utf8mb4; load data local infile '%s' into table LEDGERS "
                    "character set utf8mb4 fields terminated by ',' optionally enclosed by '\"' lines terminated by '\\n'" % data],
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


def run(command, stdin=None, status=0):
    """Wall seconds, peak MiB and output of one run of command, which must end with status."""
    # GNU time measures the peak: a child forked from this process would count this one's memory too.
    with tempfile.NamedTemporaryFile('r') as measured:
        start = time.perf_counter()
        child = subprocess.run(['/usr/bin/time', '-o', measured.name, '-f', '%M'] + command, input=stdin,
                               capture_output=True, text=True)
        seconds = time.perf_counter() - start
        if child.returncode != status:
            sys.exit('%s failed: %s' % (command[0], child.stderr))
        return seconds, int(measured.read().split()[-1]) / 1024, child.stdout


def free_port():
    import socket
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return str(s.getsockname()[1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', default=os.path.join(ROOT, 'build'))
    parser.add_argument('--rows', type=int, default=100000)
    parser.add_argument('--repeats', type=int, default=3)
    parser.add_argument('--before', help='a quibo_odbc_read of another revision, timed as "before"')
    parser.add_argument('--before-program', help='a quibo of another revision, timed as "before"')
    args = parser.parse_args()
    reader = os.path.join(args.build, 'bench', 'odbc', 'quibo_odbc_read')
    bare = os.path.join(args.build, 'bench', 'odbc', 'quibo_odbc_bare')
    program = os.path.join(args.build, 'src', 'quibo')
    folder = tempfile.mkdtemp(prefix='quibo-odbc-bench.')
    subprocess.run([SERVERS, 'start', folder], check=True)
    try:
        if os.path.exists(os.path.join(folder, 'unavailable')):
            sys.exit('no servers: ' + open(os.path.join(folder, 'unavailable')).read())
        load(folder, args.rows)
        os.environ['ODBCSYSINI'] = folder
        os.environ['ODBCINI'] = os.path.join(folder, 'odbc.ini')
        os.environ['QT_QPA_PLATFORM'] = 'offscreen'
        # The unattended load: no server answers on the port, so the run ends with status 2 after it.
        port = free_port()

        def whole(quibo):
            return lambda dsn: ([quibo, 'ODBC', dsn, 'LEDGERS', '', '', '127.0.0.1', port, 'LOAD', USER, PASSWORD],
                                None, 2)
        readers = [('reader', lambda dsn: ([reader, dsn, USER, PASSWORD, 'LEDGERS'], None, 0))]
        if args.before:
            readers.insert(0, ('before', lambda dsn: ([args.before, dsn, USER, PASSWORD, 'LEDGERS'], None, 0)))
        bares = [('bare wide', lambda dsn: ([bare, dsn, USER, PASSWORD, 'select * from LEDGERS'], None, 0)),
                 ('bare narrow', lambda dsn: ([bare, dsn, USER, PASSWORD, 'select * from LEDGERS', 'narrow'], None, 0))]
        programs = [('program', whole(program))]
        if args.before_program:
            programs.insert(0, ('before', whole(args.before_program)))
        isql = [('isql -b -d,', lambda dsn: (['isql', '-b', '-d,', dsn, USER, PASSWORD], 'select * from LEDGERS\n', 0))]
        ways = [('read', w) for w in readers + bares] + [('load', w) for w in programs + isql]
        print('%d rows x %d columns, best of %d runs' % (args.rows, len(COLUMNS), args.repeats))
        print('%-11s %-5s %-12s %9s %9s %12s %9s %10s' % ('driver', '', 'way', 'seconds', 'rows/s', 'x', 'median x',
                                                            'peak MiB'))
        for driver, dsn in [('SQLite', 'QuiboSQLite'), ('PostgreSQL', 'QuiboPostgreSQL'), ('MariaDB', 'QuiboMariaDB')]:
            rounds = []
            for _ in range(args.repeats):
                # Interleaved, so that a slow moment of the machine falls on every reader alike.
                measured = {}
                for part, (name, command) in ways:
                    seconds, peak, out = run(*command(dsn))
                    if part == 'read' and out.strip() != str(args.rows):
                        sys.exit('%s read %s rows through %s' % (name, out.strip(), driver))
                    measured[(part, name)] = (seconds, peak)
                rounds.append(measured)

            def best(key):
                return min(r[key][0] for r in rounds)
            # A reader against the faster bare loop of each round; the whole program against isql.
            for part, (name, _) in ways:
                key = (part, name)
                if part == 'read':
                    base = lambda r: min(r[('read', 'bare wide')][0], r[('read', 'bare narrow')][0])
                    against = 'bare'
                else:
                    base = lambda r: r[('load', 'isql -b -d,')][0]
                    against = 'isql'
                fastest = min(base(r) for r in rounds)
                ratio = statistics.median(r[key][0] / base(r) for r in rounds)
                peak = max(r[key][1] for r in rounds)
                print('%-11s %-5s %-12s %9.3f %9.0f %7.2f %-4s %9.2f %10.1f' % (
                    driver, part, name, best(key), args.rows / best(key), best(key) / fastest, against, ratio, peak))
    finally:
        subprocess.run([SERVERS, 'stop', folder])


if __name__ == '__main__':
    main()
