#!/usr/bin/python3
"""Writes the ledgers the master posting benchmark posts, into a scratch folder (never committed).

    /usr/bin/python3 make_ledgers.py <folder> <ledgers>

<folder>/ledgers.xls (sheet LEDGERS, xlwt) and <folder>/text/LEDGERS.csv hold the same <ledgers> ledgers
of an Indian distributor's books: debtors and creditors with an address, PAN, GSTIN and an opening
bill; every fifth one has a second bill on a row of its own (NAME left blank), so the ledger poster's
grouped rows are part of the load. No cell holds a comma, so the text file needs no quoting.
"""
import csv
import os
import sys

import xlwt

COLUMNS = ['NAME', 'PARENT', 'ADDRESS1', 'ADDRESS2', 'STATE', 'PINCODE', 'COUNTRY', 'MOBILE', 'EMAIL',
           'INCOMETAXNUMBER', 'VATTINNUMBER', 'BILLWISEON', 'OPENINGBILLDATE', 'OPENINGNAME',
           'OPENINGCREDITPERIOD', 'OPENINGBALANCE']
TOWNS = [('Pune', 'Maharashtra', '4110'), ('Nashik', 'Maharashtra', '4220'), ('Surat', 'Gujarat', '3950'),
         ('Indore', 'Madhya Pradesh', '4520'), ('Nagpur', 'Maharashtra', '4400')]
TRADES = ['Traders', 'Hardware', 'Agencies', 'Enterprises', 'Steel Centre', 'Building Materials']


def rows(count):
    for i in range(1, count + 1):
        town, state, pin = TOWNS[i % len(TOWNS)]
        debtor = i % 3 != 0
        name = 'Party %05d %s %s' % (i, TRADES[i % len(TRADES)], town)
        amount = round((i * 7919) % 250000 / 4.0, 2) * (1 if debtor else -1)
        yield [name, 'Sundry Debtors' if debtor else 'Sundry Creditors', 'Shop %d Station Road' % (i % 90 + 1),
               town, state, pin + '%02d' % (i % 100), 'India', '98%08d' % i, 'accounts%05d@example.in' % i,
               'AAAPA%04dK' % (i % 10000), '27AAAPA%04dK1Z5' % (i % 10000), 'Yes', '1-Apr-2024',
               'OB/%05d/1' % i, '30 Days', amount]
        if i % 5 == 0:
            yield ['', '', '', '', '', '', '', '', '', '', '', '', '15-Apr-2024', 'OB/%05d/2' % i, '45 Days',
                   round(amount / 3, 2)]


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    os.makedirs(os.path.join(folder, 'text'), exist_ok=True)
    data = list(rows(count))

    book = xlwt.Workbook(encoding='utf-8')
    sheet = book.add_sheet('LEDGERS')
    for c, name in enumerate(COLUMNS):
        sheet.write(0, c, name)
    for r, row in enumerate(data, start=1):
        for c, value in enumerate(row):
            if value != '':
                sheet.write(r, c, value)
    book.save(os.path.join(folder, 'ledgers.xls'))

    with open(os.path.join(folder, 'text', 'LEDGERS.csv'), 'w', newline='', encoding='utf-8') as out:
        writer = csv.writer(out)
        writer.writerow(COLUMNS)
        writer.writerows(data)


if __name__ == '__main__':
    main()
