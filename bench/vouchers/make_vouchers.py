#!/usr/bin/python3
"""Writes the workbook the unattended voucher posting benchmark posts, into a scratch folder (never
committed).

    /usr/bin/python3 make_vouchers.py <folder> <vouchers>

<folder>/vouchers.xls (xlwt) holds two sheets, posted in this order:
  LEDGERS       the two expense ledgers the vouchers name (Cash comes with every company)
  TRANSACTIONS  <vouchers> payments of two expense lines against Cash, three rows each, every one
                balanced; the same vouchers the in-process benchmark posts from its grid

An .xls sheet holds at most 65,535 rows below its header: 21,845 vouchers.
"""
import datetime
import os
import sys

import xlwt

DATE = xlwt.easyxf(num_format_str='DD-MM-YYYY')

LEDGER_COLUMNS = ['NAME', 'COMPANYNAME', 'PARENT']
LEDGERS = [['Freight Inward', None, 'Indirect Expenses'], ['Packing Material', None, 'Indirect Expenses']]

TRANSACTION_COLUMNS = ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION',
                       'ADJNAME', 'ADJAMOUNT', 'COMPANYNAME', 'BankAmount', 'InstrumentNumber', 'BankName']


def transactions(count):
    for v in range(1, count + 1):
        number = str(v)
        date = datetime.date(2024, 4, v % 28 + 1)
        amount = 100 + v % 900
        yield ['Payment', number, date, None, 'Freight Inward', amount, None, 'Freight'] + [None] * 6
        yield ['Payment', number, date, None, 'Packing Material', amount, None, None] + [None] * 6
        yield ['Payment', number, date, None, 'Cash', None, 2 * amount, None] + [None] * 6


def write(book, name, columns, rows):
    sheet = book.add_sheet(name)
    for c, column in enumerate(columns):
        sheet.write(0, c, column)
    for r, row in enumerate(rows, start=1):
        assert len(row) == len(columns), (name, row)
        for c, value in enumerate(row):
            if value is None or value == '':
                continue
            if isinstance(value, datetime.date):
                sheet.write(r, c, value, DATE)
            else:
                sheet.write(r, c, value)


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    if count * 3 > 65535:
        sys.exit('%d vouchers do not fit in an .xls sheet' % count)
    os.makedirs(folder, exist_ok=True)
    book = xlwt.Workbook(encoding='utf-8')
    write(book, 'LEDGERS', LEDGER_COLUMNS, LEDGERS)
    # The loader reads a voucher sheet in the order of its SRNO column.
    rows = [[n] + row for n, row in enumerate(transactions(count), start=1)]
    write(book, 'TRANSACTIONS', TRANSACTION_COLUMNS, rows)
    book.save(os.path.join(folder, 'vouchers.xls'))


if __name__ == '__main__':
    main()
