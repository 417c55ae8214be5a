#!/usr/bin/python3
"""Writes .xls workbooks with two programs that are not this one, from one source workbook, so that the
reader is held to what independent writers put in a file:

    /usr/bin/python3 make_writers.py

Needs LibreOffice Calc (soffice; Debian: libreoffice-calc-nogui), Gnumeric (ssconvert; gnumeric) and
python3-openpyxl. It writes source.xlsx (openpyxl) into a scratch folder, then beside this script:

  libreoffice-97.xls  soffice --convert-to xls:"MS Excel 97"   (BIFF8; LibreOffice writes no older version)
  gnumeric-97.xls     ssconvert -T Gnumeric_Excel:excel_biff8  (BIFF8)
  gnumeric-95.xls     ssconvert -T Gnumeric_Excel:excel_biff7  (BIFF7, which the reader takes as BIFF5)

Each holds the sheets below; the formulas are recalculated by the writer, which stores their results.
What each file reads as is committed beside it (NAME.expected, one line per sheet and row, checked against
the sheets below by hand):

  Ledgers   Name | Parent | OpeningBalance | Opened (a date, a date and time) | Active | Note
  Vouchers  SrNo | Amount | Total (=B*2) | Label (="V"&A)
Commit what it writes.
"""
import datetime
import os
import subprocess
import tempfile

import openpyxl

HERE = os.path.dirname(os.path.abspath(__file__))

LEDGERS = [
    ['Name', 'Parent', 'OpeningBalance', 'Opened', 'Active', 'Note'],
    ['Cash', 'Cash-in-hand', 1234.5, datetime.datetime(2024, 4, 1), True, 'Petty cash'],
    ['Bank \u2013 \u00dcberweisung', 'Bank Accounts', -99.99, datetime.datetime(2024, 1, 31, 13, 45, 10), False, None],
    ['Caf\u00e9 Noir', 'Sundry Debtors', 0.1, None, True, None],
    ['Sales', 'Sales Accounts', 123456789012.25, datetime.datetime(1999, 12, 31), False, 'Year end'],
]


def source(path):
    book = openpyxl.Workbook()
    ledgers = book.active
    ledgers.title = 'Ledgers'
    for row in LEDGERS:
        ledgers.append(row)
    for r in range(2, len(LEDGERS) + 1):
        cell = ledgers.cell(r, 4)
        cell.number_format = 'DD-MM-YYYY hh:mm:ss' if r == 3 else 'DD-MM-YYYY'
    vouchers = book.create_sheet('Vouchers')
    vouchers.append(['SrNo', 'Amount', 'Total', 'Label'])
    for i, amount in [(1, 500), (2, 12.5), (3, -0.25)]:
        r = vouchers.max_row + 1
        vouchers.append([i, amount, '=B%d*2' % r, '="V"&A%d' % r])
    book.save(path)


def main():
    with tempfile.TemporaryDirectory() as scratch:
        src = os.path.join(scratch, 'source.xlsx')
        source(src)
        env = dict(os.environ, HOME=scratch)  # soffice keeps a profile there
        out = os.path.join(scratch, 'libreoffice')
        subprocess.run(['soffice', '--headless', '--convert-to', 'xls:MS Excel 97', '--outdir', out, src], check=True,
                       env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.replace(os.path.join(out, 'source.xls'), os.path.join(HERE, 'libreoffice-97.xls'))
        for name, exporter in [('gnumeric-97.xls', 'excel_biff8'), ('gnumeric-95.xls', 'excel_biff7')]:
            subprocess.run(['ssconvert', '-T', 'Gnumeric_Excel:' + exporter, src, os.path.join(HERE, name)],
                           check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for name in sorted(os.listdir(HERE)):
            if name.endswith('.xls'):
                print(os.path.join(HERE, name))


main()
