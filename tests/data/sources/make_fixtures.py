#!/usr/bin/python3
"""Writes the source fixtures of the sources tests from the typed CSV files in input/.

    /usr/bin/python3 make_fixtures.py [path/to/mkmdb.py]

input/*.csv name their columns "Name:type" (text, long, double, date, bool); an empty cell is Null,
a quoted empty one ("") is an empty text. Out of them come, beside this script:

  sample.xls       (xlwt)      sheets Ledgers, Transactions, Empty (no cells), Headers (a blank header
                               and a cell beyond the header row)
  sample.xlsx      (openpyxl)  the same sheets; Ledgers' strings moved into the shared-strings part (one
                               of them as rich text with a phonetic run), the other sheets keep openpyxl's
                               inline strings; dates in custom and built-in formats; one absolute target
  dates1904.xlsx   (openpyxl)  one date in a workbook on the 1904 date system
  sample.mdb       (mkmdb.py)  tables LEDGERS, Transactions, EMPTY
  sample.sqlite    (sqlite3)   tables Ledgers, Transactions, Empty and the view LedgerNames, for the ODBC
                               tests
  text/            ledgers.csv (BOM, CRLF, quoting, an embedded line break), transactions.txt,
                   empty.csv (no bytes), other.dat (not a table)

Run it again after changing an input; commit the inputs, the script and what it writes.
"""
import csv
import datetime
import os
import re
import sqlite3
import subprocess
import sys
import zipfile

import openpyxl
import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
INPUT = os.path.join(HERE, 'input')
MKMDB = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, '..', '..', '..', '..', 'shared', 'tools',
                                                           'mkmdb.py')


def read_typed(name):
    """(columns [(name, type)], rows [[value]]) of input/<name>.csv, values typed."""
    with open(os.path.join(INPUT, name + '.csv'), newline='', encoding='utf-8') as f:
        lines = f.read().splitlines()
    header = next(csv.reader([lines[0]]))
    columns = [(h.partition(':')[0], h.partition(':')[2] or 'text') for h in header]
    rows = []
    for line in lines[1:]:
        cells = next(csv.reader([line]))
        row = []
        for (col, typ), cell in zip(columns, cells):
            if cell == '':
                row.append('' if typ == 'text' and '""' in line else None)
            elif typ == 'long':
                row.append(int(cell))
            elif typ == 'double':
                row.append(float(cell))
            elif typ == 'bool':
                row.append(cell.lower() in ('1', 'true', 'yes', '-1'))
            elif typ == 'date':
                fmt = '%Y-%m-%d %H:%M:%S' if ' ' in cell else '%Y-%m-%d'
                row.append(datetime.datetime.strptime(cell, fmt))
            else:
                row.append(cell)
        rows.append(row)
    return columns, rows


LEDGERS = read_typed('ledgers')
TRANSACTIONS = read_typed('transactions')
EMPTY = read_typed('empty')
HEADERS = ([('Code', 'text'), ('', 'text'), ('Amount', 'double'), ('', 'text')],
           [['X1', 'unnamed', 5.0, 'beyond']])


def write_xls(path):
    book = xlwt.Workbook(encoding='utf-8')
    date_style = xlwt.easyxf(num_format_str='DD-MM-YYYY')
    datetime_style = xlwt.easyxf(num_format_str='DD-MM-YYYY hh:mm:ss')
    for name, (columns, rows) in (('Ledgers', LEDGERS), ('Transactions', TRANSACTIONS), ('Empty', ([], [])),
                                  ('Headers', HEADERS)):
        sheet = book.add_sheet(name)
        for c, (col, _) in enumerate(columns):
            if col:
                sheet.write(0, c, col)
        for r, row in enumerate(rows, start=1):
            for c, value in enumerate(row):
                if value is None or value == '':
                    continue  # an .xls cell cannot hold an empty text: both read as Null
                if isinstance(value, datetime.datetime):
                    style = date_style if value.time() == datetime.time() else datetime_style
                    sheet.write(r, c, value, style)
                else:
                    sheet.write(r, c, value)
    book.save(path)


def write_xlsx(path):
    book = openpyxl.Workbook()
    book.remove(book.active)
    for name, (columns, rows) in (('Ledgers', LEDGERS), ('Transactions', TRANSACTIONS), ('Empty', ([], [])),
                                  ('Headers', HEADERS)):
        sheet = book.create_sheet(name)
        for c, (col, _) in enumerate(columns, start=1):
            if col:
                sheet.cell(row=1, column=c, value=col)
        for r, row in enumerate(rows, start=2):
            for c, value in enumerate(row, start=1):
                if value is None:
                    continue
                cell = sheet.cell(row=r, column=c, value=value)
                if name == 'Transactions' and columns[c - 1][0] == 'VchDate':
                    cell.number_format = 'mm-dd-yy'  # built-in format 14
                if name == 'Transactions' and columns[c - 1][0] == 'Debit':
                    cell.number_format = '#,##0.00" dr";[Red]-#,##0.00'  # a number, though it holds a "d"
    book.save(path)
    move_strings_to_shared(path, 'xl/worksheets/sheet1.xml')


def move_strings_to_shared(path, sheet_part):
    """Rewrites one sheet's inline strings as shared strings, adds the shared-strings part, gives one
    worksheet an absolute relationship target and turns "Cash" into rich text with a phonetic run."""
    with zipfile.ZipFile(path) as z:
        parts = {n: z.read(n) for n in z.namelist()}
    xml = parts[sheet_part].decode('utf-8')
    strings = []

    def shared(match):
        ref, text = match.group(1), match.group(3)
        text = '' if text is None else re.sub(r'^<is><t[^>]*>(.*)</t></is>$', r'\1', text, flags=re.S)
        strings.append(text)
        return '<c r="%s" t="s"><v>%d</v></c>' % (ref, len(strings) - 1)

    xml = re.sub(r'<c r="([A-Z]+[0-9]+)"( s="[0-9]+")? t="inlineStr"(?:/>|>(.*?)</c>)', shared, xml, flags=re.S)
    parts[sheet_part] = xml.encode('utf-8')
    items = []
    for s in strings:
        if s == 'Cash':
            items.append('<si><r><t>Ca</t></r><r><rPr><b/></rPr><t>sh</t></r><rPh sb="0" eb="1"><t>KA</t></rPh></si>')
        else:
            items.append('<si><t xml:space="preserve">%s</t></si>' % s)
    parts['xl/sharedStrings.xml'] = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="%d" uniqueCount="%d">%s</sst>'
        % (len(items), len(items), ''.join(items))).encode('utf-8')
    types = parts['[Content_Types].xml'].decode('utf-8')
    types = types.replace('</Types>', '<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
                          'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
    parts['[Content_Types].xml'] = types.encode('utf-8')
    rels = parts['xl/_rels/workbook.xml.rels'].decode('utf-8')
    rels = rels.replace('</Relationships>', '<Relationship Id="rIdSst" Type="http://schemas.openxmlformats.org/'
                        'officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
                        '</Relationships>')
    # openpyxl writes absolute targets; one relative target covers the other spelling.
    rels = rels.replace('Target="/xl/worksheets/sheet2.xml"', 'Target="worksheets/sheet2.xml"')
    parts['xl/_rels/workbook.xml.rels'] = rels.encode('utf-8')
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in parts.items():
            z.writestr(name, data)


def write_xlsx_1904(path):
    book = openpyxl.Workbook()
    book.epoch = openpyxl.utils.datetime.CALENDAR_MAC_1904
    sheet = book.active
    sheet.title = 'Dates'
    sheet['A1'] = 'VchDate'
    sheet['A2'] = datetime.datetime(2024, 4, 1)
    book.save(path)


def write_mdb(path):
    subprocess.run(['/usr/bin/python3', MKMDB, path,
                    'LEDGERS=' + os.path.join(INPUT, 'ledgers.csv'),
                    'Transactions=' + os.path.join(INPUT, 'transactions.csv'),
                    'EMPTY=' + os.path.join(INPUT, 'empty.csv')], check=True)


SQL_TYPES = {'text': 'TEXT', 'long': 'INTEGER', 'double': 'DOUBLE', 'date': 'TIMESTAMP', 'bool': 'BIT'}


def write_sqlite(path):
    if os.path.exists(path):
        os.remove(path)
    db = sqlite3.connect(path)
    for name, (columns, rows) in (('Ledgers', LEDGERS), ('Transactions', TRANSACTIONS), ('Empty', EMPTY)):
        db.execute('CREATE TABLE "%s" (%s)' % (name, ', '.join('"%s" %s' % (c, SQL_TYPES[t]) for c, t in columns)))
        for row in rows:
            values = [v.strftime('%Y-%m-%d %H:%M:%S') if isinstance(v, datetime.datetime) else
                      (int(v) if isinstance(v, bool) else v) for v in row]
            db.execute('INSERT INTO "%s" VALUES (%s)' % (name, ', '.join('?' * len(values))), values)
    db.execute('CREATE VIEW "LedgerNames" AS SELECT "Name" FROM "Ledgers"')
    db.commit()
    db.close()


def write_text(folder):
    os.makedirs(folder, exist_ok=True)
    ledgers = ('\ufeffName,Parent,OpeningBalance,Note\r\n'
               'Cash,Cash-in-hand,1234.50,Petty cash\r\n'
               '"Sales ""quoted"", comma",Sales Accounts,-99.99,""\r\n'
               'नकद खाता,Sundry Debtors,,"first line\r\nsecond line"\r\n'
               ' Padded ,Bank Accounts,0.10,\r\n')
    with open(os.path.join(folder, 'ledgers.csv'), 'w', encoding='utf-8', newline='') as f:
        f.write(ledgers)
    transactions = ['SrNo,VchType,VchNo,VchDate,Ledger,Debit,Credit']
    for row in TRANSACTIONS[1]:
        transactions.append(','.join('' if v is None else v.strftime('%d-%m-%Y') if isinstance(v, datetime.datetime)
                                     else ('%g' % v if isinstance(v, float) else str(v)) for v in row))
    with open(os.path.join(folder, 'transactions.txt'), 'w', encoding='utf-8', newline='') as f:
        f.write('\n'.join(transactions) + '\n')
    open(os.path.join(folder, 'empty.csv'), 'w').close()
    with open(os.path.join(folder, 'other.dat'), 'w') as f:
        f.write('not,a,table\n')


if __name__ == '__main__':
    write_xls(os.path.join(HERE, 'sample.xls'))
    write_xlsx(os.path.join(HERE, 'sample.xlsx'))
    write_xlsx_1904(os.path.join(HERE, 'dates1904.xlsx'))
    write_mdb(os.path.join(HERE, 'sample.mdb'))
    write_sqlite(os.path.join(HERE, 'sample.sqlite'))
    write_text(os.path.join(HERE, 'text'))
