#!/usr/bin/python3
"""Ledgers and vouchers posted unattended to the simulated Tally server under each of its faults, and
what must hold whatever the server does:

  - no import request reaches the server twice (the HTTP layer never sends one again by itself);
  - every row that reads "ERROR: no reply from the Tally server" has its entry in the error log, and no
    other entry is made;
  - the report has one line per grid row: as many lines as the same source gives with no fault.

    /usr/bin/python3 bench/soak/fault_soak.py [--build DIR] [--records N] [--every N] [--delay-ms MS]

For each fault (none, delay, close, html500, notxml, empty, on every Nth request, 37 by default) it starts
quibo-tally-sim with a fresh store and request log, posts N ledgers (bench/masters/make_ledgers.py, 3,000
by default) in one run and, against another server, the voucher workbook's two ledgers and then its N
vouchers (bench/vouchers/make_vouchers.py), each source with a data folder of its own. It prints one line per
fault and source: requests received, imports received twice, rows read "no reply", error-log entries,
report lines, and the outcomes that came back in place of the server's words; the exit status is 1 when
any check fails. Needs the build (quibo and quibo-tally-sim) and /usr/bin/python3 with xlwt.
"""
import argparse
import collections
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
COMPANY = 'Kaveri Distributors Pvt Ltd'
NO_REPLY = 'ERROR: no reply from the Tally server'
FAULTS = ['none', 'delay', 'close', 'html500', 'notxml', 'empty']
KEY_WIDTH = 75
IMPORT = re.compile(rb'<TALLYREQUEST>\s*Import', re.IGNORECASE)


def generate(folder, records):
    for script in ('masters/make_ledgers.py', 'vouchers/make_vouchers.py'):
        subprocess.run(['/usr/bin/python3', os.path.join(ROOT, 'bench', script), folder, str(records)], check=True)


def start_server(build, fault, every, delay_ms, log):
    command = [os.path.join(build, 'tools', 'tally-sim', 'quibo-tally-sim'), '--company', COMPANY, '--log', log]
    if fault != 'none':
        command += ['--fault', fault, '--fault-every', str(every)]
    if fault == 'delay':
        command += ['--delay-ms', str(delay_ms)]
    server = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    port = int(server.stdout.readline().rsplit(':', 1)[1])
    return server, port


def post(build, home, workbook, sheet, port, report):
    environment = {'QT_QPA_PLATFORM': 'offscreen', 'QUIBO20_HOME': home, 'HOME': home,
                   'XDG_CONFIG_HOME': os.path.join(home, 'config'), 'PATH': os.environ.get('PATH', '')}
    run = subprocess.run([os.path.join(build, 'src', 'quibo'), 'XLS', workbook, sheet, COMPANY, report,
                          '127.0.0.1', str(port), 'POSTSILENT'], env=environment, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    return run.returncode


def logged_bodies(path):
    """The request bodies of the server's log, in order: '#N METHOD TARGET SIZE bytes', headers, an empty
    line, SIZE bytes of body, two line feeds."""
    bodies = []
    with open(path, 'rb') as log:
        data = log.read()
    at = 0
    head = re.compile(rb'#\d+ \S+ \S+ (\d+) bytes\n')
    while at < len(data):
        match = head.match(data, at)
        if not match:
            raise ValueError('unreadable request log at byte %d' % at)
        start = data.index(b'\n\n', match.end() - 1) + 2
        size = int(match.group(1))
        bodies.append(data[start:start + size])
        at = start + size + 2
    return bodies


def report_lines(path):
    if not os.path.exists(path):
        return []
    with open(path, 'rb') as report:
        text = report.read().decode('latin-1')
    return text.split('\r\n')[:-1]


def soak(build, folder, fault, source, every, delay_ms):
    run_folder = tempfile.mkdtemp(prefix='%s-%s-' % (fault, source), dir=folder)
    home = os.path.join(run_folder, 'home')
    os.makedirs(os.path.join(home, 'config'))
    log = os.path.join(run_folder, 'requests.log')
    server, port = start_server(build, fault, every, delay_ms, log)
    try:
        if source == 'ledgers':
            runs = [(os.path.join(folder, 'ledgers.xls'), 'LEDGERS')]
        else:
            runs = [(os.path.join(folder, 'vouchers.xls'), 'LEDGERS'), (os.path.join(folder, 'vouchers.xls'),
                                                                       'TRANSACTIONS')]
        lines = []
        statuses = []
        exits = []
        for workbook, sheet in runs:
            report = os.path.join(run_folder, sheet + '.txt')
            exits.append(post(build, home, workbook, sheet, port, report))
            lines = report_lines(report)  # the last run's, the one of the source's records
            statuses += [line[KEY_WIDTH:] for line in lines]
    finally:
        server.terminate()
        server.wait()

    bodies = logged_bodies(log)
    imports = [b for b in bodies if IMPORT.search(b)]
    twice = sum(count - 1 for count in collections.Counter(imports).values() if count > 1)
    no_reply = sum(status == NO_REPLY for status in statuses)
    error_log = os.path.join(home, 'Quibo20Errors.txt')
    entries = []
    if os.path.exists(error_log):
        with open(error_log, 'rb') as entries_file:
            entries = re.findall(rb'=> LOCATION CODE: (\S+)\(\)', entries_file.read())
    others = collections.Counter(s[:40] for s in statuses
                                 if s and not s.startswith(('CREATED', 'ALTERED', 'COMBINED')) and s != NO_REPLY)
    return {'requests': len(bodies), 'imports': len(imports), 'twice': twice, 'no_reply': no_reply,
            'entries': len(entries), 'codes': dict(collections.Counter(c.decode() for c in entries)),
            'lines': len(lines), 'exits': exits, 'others': dict(others)}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--build', default=os.path.join(ROOT, 'build'))
    parser.add_argument('--records', type=int, default=3000)
    parser.add_argument('--every', type=int, default=37)
    parser.add_argument('--delay-ms', type=int, default=20)
    arguments = parser.parse_args()

    failed = False
    with tempfile.TemporaryDirectory(prefix='quibo-soak-') as folder:
        generate(folder, arguments.records)
        print('%-8s %-8s %8s %8s %6s %8s %8s %6s  %s' % ('fault', 'source', 'requests', 'imports', 'twice',
                                                          'no reply', 'entries', 'lines', 'other outcomes'))
        clean_lines = {}
        for fault in FAULTS:
            for source in ('ledgers', 'vouchers'):
                r = soak(arguments.build, folder, fault, source, arguments.every, arguments.delay_ms)
                clean_lines.setdefault(source, r['lines'])
                ok = (r['twice'] == 0 and r['no_reply'] == r['entries'] and r['lines'] == clean_lines[source]
                      and not any(r['exits']))
                failed = failed or not ok
                print('%-8s %-8s %8d %8d %6d %8d %8d %6d  %s%s' % (
                    fault, source, r['requests'], r['imports'], r['twice'], r['no_reply'], r['entries'],
                    r['lines'], r['others'] or '', '' if ok else '  FAILED (exits %s, codes %s)' % (
                        r['exits'], r['codes'])), flush=True)
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
