#!/usr/bin/python3
"""Quibo's loads beside the readers a user would otherwise reach for, timed in one run on the same files.

    /usr/bin/python3 bench/peers/peers.py [--build DIR] [--rows N] [--repeat N] [--folder DIR]

Writes the sources once with bench/sources/make_big.py (N rows x 20 columns, 100,000 by default; an .xls
sheet holds 65,535) into a scratch folder (or --folder, reused when it already holds them). Then, in each of
--repeat rounds (3 by default; the machine is shared, so the best of each figure is kept), for each format:
Quibo's full load into both grids, from quibo_sources_bench --benchmark_filter='^Load/<kind>$' reading that
folder through QUIBO_BENCH_FOLDER, one fresh process per format; and each peer reader alone, each in a child
process of its own so that its peak resident set is its own.

Quibo's row is the first load in its process, as a user's is and as each peer's is; the row below it is the
same process loading the file again, on the heap the first load freed (the bench's own Load/* figures mix
the two). Its peak is the bench's: a forked child that only loads. A peer's seconds cover opening the file
and reading every value, not the interpreter's start or its imports; its peak is the whole child's (a bare
python3 is about 10 MiB, one that imports pandas about 60).

It prints one table: seconds, peak MiB, the time over Quibo's for that format, and the targets.
Needs the build (cmake --build build) and the readers (scripts/install-deps --bench, which it runs first).
"""
import argparse
import csv
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
MAKE_BIG = os.path.join(ROOT, 'bench', 'sources', 'make_big.py')
MKMDB = os.path.join(ROOT, 'tests', 'tools', 'mkmdb.py')
XLS_ROWS = 65535
QUIBO = 'Quibo, load into both grids'
QUIBO_AGAIN = 'Quibo, again in the same process'
MIB_TARGET = 120

# The formats in the order of the table: the file, and the bench's name for its load.
FORMATS = [('.xls', 'big.xls', 'Load/Xls'), ('.xlsx', 'big.xlsx', 'Load/Xlsx'), ('text', 'text/big.csv', 'Load/Text')]


def read_xlrd(path):
    import xlrd
    start = time.perf_counter()
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    for r in range(sheet.nrows):
        sheet.row_values(r)
    return time.perf_counter() - start, sheet.nrows - 1


def read_openpyxl(path):
    import openpyxl
    start = time.perf_counter()
    book = openpyxl.load_workbook(path, read_only=True)
    rows = sum(1 for _ in book.worksheets[0].iter_rows(values_only=True))
    book.close()
    return time.perf_counter() - start, rows - 1


def read_csv(path):
    start = time.perf_counter()
    with open(path, newline='', encoding='utf-8') as f:
        rows = sum(1 for _ in csv.reader(f))
    return time.perf_counter() - start, rows - 1


def read_pandas_csv(path):
    import pandas
    start = time.perf_counter()
    rows = len(pandas.read_csv(path))
    return time.perf_counter() - start, rows


def read_pandas_excel(path):
    import pandas
    start = time.perf_counter()
    rows = len(pandas.read_excel(path, engine='openpyxl'))
    return time.perf_counter() - start, rows


# The peers of each format: name in the table, the function that reads one file.
PEERS = {
    '.xls': [('xlrd', read_xlrd)],
    '.xlsx': [('openpyxl read-only', read_openpyxl), ('pandas read_excel (openpyxl)', read_pandas_excel)],
    'text': [('csv module, bare parse', read_csv), ('pandas read_csv', read_pandas_csv)],
}


def child(reader, path):
    """In the child: one read, its figures on standard output."""
    functions = {f.__name__: f for peers in PEERS.values() for _, f in peers}
    seconds, rows = functions[reader](path)
    json.dump({'seconds': seconds, 'rows': rows}, sys.stdout)


def run_child(command, env=None):
    """Runs `command` to its end: its standard output and its own peak resident set in MiB."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, env=env)
    out = process.stdout.read()
    process.stdout.close()
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit('%s failed with status %d' % (' '.join(command), process.returncode))
    return out, usage.ru_maxrss / 1024.0


def quibo_load(bench, folder, name):
    """One process of the loads benchmark that loads one file twice: (first, again), each (seconds, MiB, rows).

    The first load in a fresh process is the one a user waits for, and the one comparable with a peer
    (a fresh process each time); the second reuses the heap the first freed and is often much faster.
    One iteration each (--benchmark_min_time=0), so neither is averaged with the other."""
    env = dict(os.environ, QUIBO_BENCH_FOLDER=folder)
    out, _ = run_child([bench, '--benchmark_filter=^%s$' % name, '--benchmark_format=json',
                        '--benchmark_min_time=0', '--benchmark_repetitions=2'], env)
    scale = {'ns': 1e-9, 'us': 1e-6, 'ms': 1e-3, 's': 1.0}
    loads = []
    for b in json.loads(out)['benchmarks']:
        if b.get('run_type', 'iteration') != 'iteration':
            continue
        if b.get('error_occurred'):
            sys.exit('%s: %s' % (b['name'], b.get('error_message')))
        loads.append((b['real_time'] * scale[b['time_unit']], b['peak_MiB'], int(b['rows'])))
    if len(loads) != 2:
        sys.exit('%s: %d runs, not 2' % (name, len(loads)))
    return loads


def generate(folder, rows):
    # The bench measures the peak of every source it knows before its loads, the Access and ODBC ones too.
    if all(os.path.exists(os.path.join(folder, f)) for f in [f for _, f, _ in FORMATS] + ['big.mdb', 'big.sqlite']):
        print('reusing the sources in %s' % folder, file=sys.stderr)
        return
    print('generating sources of %d rows in %s ...' % (rows, folder), file=sys.stderr)
    subprocess.run(['/usr/bin/python3', MAKE_BIG, folder, str(rows), MKMDB], check=True)


def table(best):
    """The lines of the table; `best` maps (format, reader) to (seconds, MiB, rows)."""
    head = ('format', 'reader', 'rows', 'seconds', 'peak MiB', 'time / Quibo', 'target', 'met')
    lines = [head]
    for fmt, _, _ in FORMATS:
        quibo = best[(fmt, QUIBO)]
        peers = {name: best[(fmt, name)] for name, _ in PEERS[fmt]}
        if fmt == '.xls':
            limit, why = 0.5 * peers['xlrd'][0], '0.5 x xlrd'
        elif fmt == '.xlsx':
            limit, why = 0.5, ''
        else:
            limit, why = 2 * peers['csv module, bare parse'][0], '2 x csv'
        met = ('yes' if quibo[0] <= limit else 'no') + ' / ' + ('yes' if quibo[1] <= MIB_TARGET else 'no')
        target = '<= %.3f s%s, <= %d MiB' % (limit, ' (%s)' % why if why else '', MIB_TARGET)
        for name, figures in [(QUIBO, quibo), (QUIBO_AGAIN, best[(fmt, QUIBO_AGAIN)])] + list(peers.items()):
            first = name == QUIBO
            lines.append((fmt, name, '%d' % figures[2], '%.3f' % figures[0],
                          '-' if figures[1] is None else '%.0f' % figures[1],
                          '%.2f' % (figures[0] / quibo[0]), target if first else '', met if first else ''))
    widths = [max(len(line[i]) for line in lines) for i in range(len(head))]
    right = {2, 3, 4, 5}
    out = []
    for n, line in enumerate(lines):
        out.append('  '.join(c.rjust(w) if i in right else c.ljust(w)
                             for i, (c, w) in enumerate(zip(line, widths))).rstrip())
        if n == 0:
            out.append('  '.join('-' * w for w in widths))
    out.append('met: time / memory, of the first load in a fresh process; seconds and MiB are the best of the rounds')
    return out


def main():
    if len(sys.argv) == 4 and sys.argv[1] == '--child':
        child(sys.argv[2], sys.argv[3])
        return
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--build', default=os.path.join(ROOT, 'build'), help='the CMake build folder')
    parser.add_argument('--rows', type=int, default=100000, help='rows of the generated sources')
    parser.add_argument('--repeat', type=int, default=3, help='rounds; the best of each figure is kept')
    parser.add_argument('--folder', help='where the sources are (or are written); a scratch folder if not given')
    args = parser.parse_args()

    bench = os.path.join(args.build, 'bench', 'sources', 'quibo_sources_bench')
    if not os.access(bench, os.X_OK):
        sys.exit('%s is missing: build first (cmake --build %s)' % (bench, args.build))
    subprocess.run([os.path.join(ROOT, 'scripts', 'install-deps'), '--bench'], check=True)

    scratch = None if args.folder else tempfile.mkdtemp(prefix='quibo-peers-')
    folder = os.path.abspath(args.folder or scratch)
    try:
        os.makedirs(folder, exist_ok=True)
        generate(folder, args.rows)
        expected = {'.xls': min(args.rows, XLS_ROWS), '.xlsx': args.rows, 'text': args.rows}
        best = {}
        busiest = os.getloadavg()[0]

        def keep(key, seconds, mib, rows):
            if rows != expected[key[0]]:
                sys.exit('%s %s read %d rows, not %d' % (key[0], key[1], rows, expected[key[0]]))
            old = best.get(key, (float('inf'), float('inf'), rows))
            best[key] = (min(old[0], seconds), None if mib is None else min(old[1], mib), rows)

        # Rounds rather than each reader three times in a row, so that a busy spell of the machine spreads
        # over all of them.
        for n in range(args.repeat):
            load = os.getloadavg()[0]
            busiest = max(busiest, load)
            print('peers: round %d of %d (load average %.1f)' % (n + 1, args.repeat, load), file=sys.stderr)
            for fmt, file, bench_name in FORMATS:
                first, again = quibo_load(bench, folder, bench_name)
                keep((fmt, QUIBO), *first)
                keep((fmt, QUIBO_AGAIN), again[0], None, again[2])  # its peak is the first one's
                for name, function in PEERS[fmt]:
                    out, mib = run_child(['/usr/bin/python3', os.path.abspath(__file__), '--child', function.__name__,
                                          os.path.join(folder, file)])
                    figures = json.loads(out)
                    keep((fmt, name), figures['seconds'], mib, figures['rows'])
        busiest = max(busiest, os.getloadavg()[0])
        print('%d rows x 20 columns (.xls %d), best of %d round(s), load average up to %.1f on %d CPUs' %
              (args.rows, expected['.xls'], args.repeat, busiest, os.cpu_count()))
        print('\n'.join(table(best)))
    finally:
        if scratch:
            shutil.rmtree(scratch, ignore_errors=True)


if __name__ == '__main__':
    main()
