#!/usr/bin/python3
"""Writes the large sources the sources benchmark reads, into a scratch folder (never committed).

    /usr/bin/python3 make_big.py <folder> <rows> <mkmdb.py>

One table "Transactions" of <rows> rows and 20 columns (serial number, texts, a date, numbers, a flag), as
big.xls (xlwt; an .xls sheet holds at most 65,535 rows below its header, so it is cut there),
big.xlsx (openpyxl, write-only), big.mdb (mkmdb.py), big.sqlite (sqlite3) and text/big.csv. Named after
an import type, so the table loader reads it as a voucher table (ordered, repaired, with a built ID).

In long/ the long-row sources, each at two sizes ten times apart, whose tables a reader must build in
time linear in what they hold: long1k.csv and long10k.csv (200 one-cell rows, then a row of 1,000 or 10,000
cells), long4.xlsx and long40.xlsx (a header, then one row of 16,000 texts making 4 or 40 MiB of XML).

Beside them shared.xlsx and shared.xls: one long text shown by 12,000 cells (a 1 MiB shared string in the
.xlsx, one of 32,767 characters, an .xls cell's most, in the .xls), which read in time linear in the file.
"""
import csv
import datetime
import os
import sqlite3
import subprocess
import sys
import zipfile

import openpyxl
import xlwt

COLUMNS = [('SrNo', 'long'), ('VchType', 'text'), ('VchNo', 'text'), ('VchDate', 'date'), ('Ledger', 'text'),
           ('Debit', 'double'), ('Credit', 'double'), ('Quantity', 'long'), ('Rate', 'double'),
           ('Amount', 'double'), ('Narration', 'text'), ('Posted', 'bool')] + \
          [('Extra%d' % i, 'double') for i in range(1, 9)]
LEDGERS = ['Cash', 'Bank', 'Sales', 'Purchase', 'Freight']
TYPES = ['Receipt', 'Payment', 'Journal', 'Sales']
BASE = datetime.datetime(2024, 4, 1)


def row(i):
    amount = round((i * 37) % 100000 / 7.0, 2)
    return [i, TYPES[i % 4], 'V%05d' % (i // 2), BASE + datetime.timedelta(days=i % 365),
            LEDGERS[i % 5], amount if i % 2 else None, None if i % 2 else amount, i % 50, 12.5,
            amount, 'Row %d' % i, i % 3 == 0] + [i * 0.5 + k for k in range(8)]


SHARED_CELLS = 12000
RELATIONSHIPS = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'


def write_package(path, sheet, shared_strings):
    """An .xlsx package of one sheet "Transactions", and the shared strings when given."""
    rels = '<Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/>' % RELATIONSHIPS
    if shared_strings is not None:
        rels += '<Relationship Id="rId2" Type="%s/sharedStrings" Target="sharedStrings.xml"/>' % RELATIONSHIPS
    parts = {
        '[Content_Types].xml': '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        '_rels/.rels': '<Relationships><Relationship Id="rId1" Type="%s/officeDocument" '
                       'Target="xl/workbook.xml"/></Relationships>' % RELATIONSHIPS,
        'xl/workbook.xml': '<workbook xmlns:r="%s"><sheets><sheet name="Transactions" sheetId="1" r:id="rId1"/>'
                           '</sheets></workbook>' % RELATIONSHIPS,
        'xl/_rels/workbook.xml.rels': '<Relationships>%s</Relationships>' % rels,
        'xl/worksheets/sheet1.xml': sheet,
    }
    if shared_strings is not None:
        parts['xl/sharedStrings.xml'] = shared_strings
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in parts.items():
            z.writestr(name, data)


def write_shared(folder):
    text = ''.join('Narration %07d; ' % i for i in range((1 << 20) // 19 + 1))[:1 << 20]
    # openpyxl writes inline strings: the package is written here, with the text as shared string 1.
    rows = ['<row r="1"><c r="A1" t="inlineStr"><is><t>SrNo</t></is></c><c r="B1" t="s"><v>0</v></c></row>']
    rows += ['<row r="%d"><c r="A%d"><v>%d</v></c><c r="B%d" t="s"><v>1</v></c></row>' % (r, r, r - 1, r)
             for r in range(2, SHARED_CELLS + 2)]
    write_package(os.path.join(folder, 'shared.xlsx'),
                  '<worksheet><sheetData>%s</sheetData></worksheet>' % ''.join(rows),
                  '<sst><si><t>Narration</t></si><si><t>%s</t></si></sst>' % text)

    book = xlwt.Workbook()
    sheet = book.add_sheet('Transactions')
    sheet.write(0, 0, 'SrNo')
    sheet.write(0, 1, 'Narration')
    for r in range(1, SHARED_CELLS + 1):
        sheet.write(r, 0, r)
        sheet.write(r, 1, text[:32767])
    book.save(os.path.join(folder, 'shared.xls'))


def write_long_rows(folder):
    os.makedirs(os.path.join(folder, 'long'), exist_ok=True)
    for name, cells in (('long1k', 1000), ('long10k', 10000)):
        with open(os.path.join(folder, 'long', name + '.csv'), 'w', newline='') as f:
            f.write('A\n' + '1\n' * 200 + ','.join(['1'] * cells) + '\n')
    for mib in (4, 40):
        length = (mib << 20) // 16000 - 40  # the markup around each text takes about 40 bytes
        cells = ''.join('<c r="%s2" t="inlineStr"><is><t>%05d%s</t></is></c>' % (column(c), c, 'x' * (length - 5))
                        for c in range(16000))
        sheet = ('<worksheet><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>A</t></is></c></row>'
                 '<row r="2">%s</row></sheetData></worksheet>' % cells)
        write_package(os.path.join(folder, 'long', 'long%d.xlsx' % mib), sheet, None)


def column(c):
    letters = ''
    c += 1
    while c:
        c, r = divmod(c - 1, 26)
        letters = chr(65 + r) + letters
    return letters


def main():
    folder, rows, mkmdb = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    os.makedirs(os.path.join(folder, 'text'), exist_ok=True)
    names = [c for c, _ in COLUMNS]

    book = xlwt.Workbook()
    sheet = book.add_sheet('Transactions')
    date_style = xlwt.easyxf(num_format_str='DD-MM-YYYY')
    for c, n in enumerate(names):
        sheet.write(0, c, n)
    for i in range(1, min(rows, 65535) + 1):
        for c, v in enumerate(row(i)):
            if v is None:
                continue
            if isinstance(v, datetime.datetime):
                sheet.write(i, c, v, date_style)
            else:
                sheet.write(i, c, v)
    book.save(os.path.join(folder, 'big.xls'))

    wb = openpyxl.Workbook(write_only=True)
    ws = wb.create_sheet('Transactions')
    ws.append(names)
    for i in range(1, rows + 1):
        ws.append(row(i))
    wb.save(os.path.join(folder, 'big.xlsx'))

    typed = os.path.join(folder, 'typed.csv')
    with open(typed, 'w', newline='', encoding='utf-8') as f:
        w = csv.writer(f)
        w.writerow(['%s:%s' % c for c in COLUMNS])
        for i in range(1, rows + 1):
            w.writerow(['' if v is None else v.strftime('%Y-%m-%d') if isinstance(v, datetime.datetime)
                        else ('true' if v else 'false') if isinstance(v, bool) else v for v in row(i)])
    subprocess.run(['/usr/bin/python3', mkmdb, os.path.join(folder, 'big.mdb'), 'Transactions=' + typed], check=True,
                   stdout=subprocess.DEVNULL)

    db = sqlite3.connect(os.path.join(folder, 'big.sqlite'))
    types = {'long': 'INTEGER', 'text': 'TEXT', 'date': 'TIMESTAMP', 'double': 'DOUBLE', 'bool': 'BIT'}
    db.execute('CREATE TABLE Transactions (%s)' % ', '.join('"%s" %s' % (c, types[t]) for c, t in COLUMNS))
    db.executemany('INSERT INTO Transactions VALUES (%s)' % ', '.join('?' * len(COLUMNS)),
                   ([v.strftime('%Y-%m-%d %H:%M:%S') if isinstance(v, datetime.datetime) else v for v in row(i)]
                    for i in range(1, rows + 1)))
    db.commit()
    db.close()

    with open(os.path.join(folder, 'text', 'big.csv'), 'w', newline='', encoding='utf-8') as f:
        w = csv.writer(f)
        w.writerow(names)
        for i in range(1, rows + 1):
            w.writerow(['' if v is None else v.strftime('%d-%m-%Y') if isinstance(v, datetime.datetime) else v
                        for v in row(i)])

    write_shared(folder)
    write_long_rows(folder)


if __name__ == '__main__':
    main()
