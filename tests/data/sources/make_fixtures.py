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
  dates1904.xlsx   (openpyxl)  two dates in a workbook on the 1904 date system, one of them serial 1
  cells.xlsx       (openpyxl)  Dates: serials 1, 59, 60 and 61 in a date format; Escapes: "_xHHHH_" texts as
                               shared strings (column A) and inline strings (column B)
  sample.mdb       (mkmdb.py)  tables LEDGERS, Transactions, EMPTY
  access.mdb       (mkmdb.py)  from input/access/*.csv: Calculated (calculated columns of each result type,
                               with its properties), Later (a Yes/No column added after the rows), Edited
                               (rows that still hold two columns deleted from the design), Decimals
                               (Decimal columns of several scales), Replicas (a replication ID) and
                               MSysCompactError (a system table not flagged as one)
  sample.sqlite    (sqlite3)   tables Ledgers, Transactions, Empty and the view LedgerNames, for the ODBC
                               tests
  text/            ledgers.csv (BOM, CRLF, quoting, an embedded line break), transactions.txt,
                   empty.csv (no bytes), other.dat (not a table)

The table-loader fixtures come from input/loader/*.csv:

  loader.xls       (xlwt)      Ledgers, Transactions, Orders, Units (no cells), MyFormat, and the registers
                               SaleRegister (map with every optional column), V_Transactions (map with the four
                               required ones) and VoucherRegister (map with some), each with its "Map" sheet
  loader.xlsx      (openpyxl)  Ledgers, Transactions, SaleRegister and VoucherRegister with their maps
  ledgerlists.xls  (xlwt)      Ledgers, and Transactions with the columns of the ledger and transaction lists
                               among others, in another order
  registers.xls    (xlwt)      registers that do not load: SaleRegister without a map, V_Transactions with an
                               invalid column name, VoucherRegister whose map names a column it lacks
  loader.mdb       (mkmdb.py)  Transactions, StockItems, SaleRegister and VoucherRegister with their maps
  loader.sqlite    (sqlite3)   Transactions, the view Units, SaleRegister without rows and its map as a view,
                               V_Transactions without a map, for the ODBC tests
  loadertext/      transactions.csv, dates and amounts as plain text

One table written in the three kinds of the Excel tab, which must load alike:

  kinds.xls        (xlwt)      Transactions: a boolean, a date-time under a date and under a time format,
  kinds.xlsx       (openpyxl)  01-Mar-2100, serial 60 in a date format, a date and a time in amount
                               columns, an 18-digit number, "é" and "’"
  kindstext/       transactions.csv, in Windows-1252: each cell the text the grid shows for the workbooks'

    /usr/bin/python3 make_fixtures.py [mkmdb.py] [--loader-only | --access-only]

writes everything, or with --loader-only the table-loader fixtures alone, with --access-only access.mdb
alone.

Run it again after changing an input; commit the inputs, the script and what it writes.
mkmdb.py writes the same bytes for the same input (no dates, no random identifiers): run again,
it leaves sample.mdb, access.mdb and loader.mdb byte for byte as committed.
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
ARGS = [a for a in sys.argv[1:] if not a.startswith('--')]
LOADER_ONLY = '--loader-only' in sys.argv[1:]
ACCESS_ONLY = '--access-only' in sys.argv[1:]
MKMDB = ARGS[0] if ARGS else os.path.join(HERE, '..', '..', 'tools', 'mkmdb.py')


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


def share_inline_strings(parts, sheet_part, columns='[A-Z]+', item=None):
    """Rewrites the inline strings of one sheet's columns (a pattern of column letters) as shared strings
    and adds the shared-strings part; `item` writes the <si> of a text."""
    item = item or (lambda s: '<si><t xml:space="preserve">%s</t></si>' % s)
    xml = parts[sheet_part].decode('utf-8')
    strings = []

    def shared(match):
        ref, text = match.group(1), match.group(3)
        text = '' if text is None else re.sub(r'^<is><t[^>]*>(.*)</t></is>$', r'\1', text, flags=re.S)
        strings.append(text)
        return '<c r="%s" t="s"><v>%d</v></c>' % (ref, len(strings) - 1)

    xml = re.sub(r'<c r="(%s[0-9]+)"( s="[0-9]+")? t="inlineStr"(?:/>|>(.*?)</c>)' % columns, shared, xml,
                 flags=re.S)
    parts[sheet_part] = xml.encode('utf-8')
    items = [item(s) for s in strings]
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
    parts['xl/_rels/workbook.xml.rels'] = rels.encode('utf-8')


def read_parts(path):
    with zipfile.ZipFile(path) as z:
        return {n: z.read(n) for n in z.namelist()}


def write_parts(path, parts):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in parts.items():
            z.writestr(name, data)


def move_strings_to_shared(path, sheet_part):
    """Rewrites one sheet's inline strings as shared strings, adds the shared-strings part, gives one
    worksheet an absolute relationship target and turns "Cash" into rich text with a phonetic run."""
    parts = read_parts(path)
    rich = '<si><r><t>Ca</t></r><r><rPr><b/></rPr><t>sh</t></r><rPh sb="0" eb="1"><t>KA</t></rPh></si>'
    share_inline_strings(parts, sheet_part,
                         item=lambda s: rich if s == 'Cash' else '<si><t xml:space="preserve">%s</t></si>' % s)
    rels = parts['xl/_rels/workbook.xml.rels'].decode('utf-8')
    # openpyxl writes absolute targets; one relative target covers the other spelling.
    rels = rels.replace('Target="/xl/worksheets/sheet2.xml"', 'Target="worksheets/sheet2.xml"')
    parts['xl/_rels/workbook.xml.rels'] = rels.encode('utf-8')
    write_parts(path, parts)


def write_xlsx_cells(path):
    """Date serials written as numbers on both sides of the phantom 29 Feb 1900 (serial 60), and
    "_xHHHH_" escapes in the same texts as shared strings (column A) and inline strings (column B)."""
    book = openpyxl.Workbook()
    dates = book.active
    dates.title = 'Dates'
    dates.append(['Date'])
    for serial in (1, 59, 60, 61):
        dates.append([serial])
        dates.cell(row=dates.max_row, column=1).number_format = 'dd-mm-yyyy'
    escapes = book.create_sheet('Escapes')
    escapes.append(['Shared', 'Inline'])
    for text in ('A_x000D_B', '_x005F_x000D_'):
        escapes.append([text, text])
    book.save(path)
    parts = read_parts(path)
    share_inline_strings(parts, 'xl/worksheets/sheet2.xml', columns='A')
    write_parts(path, parts)


def write_xlsx_1904(path):
    book = openpyxl.Workbook()
    book.epoch = openpyxl.utils.datetime.CALENDAR_MAC_1904
    sheet = book.active
    sheet.title = 'Dates'
    sheet['A1'] = 'VchDate'
    sheet['A2'] = datetime.datetime(2024, 4, 1)
    sheet['A3'] = datetime.datetime(1904, 1, 2)  # serial 1, which the 1900 system would read one day on
    book.save(path)


def write_mdb(path):
    subprocess.run(['/usr/bin/python3', MKMDB, path,
                    'LEDGERS=' + os.path.join(INPUT, 'ledgers.csv'),
                    'Transactions=' + os.path.join(INPUT, 'transactions.csv'),
                    'EMPTY=' + os.path.join(INPUT, 'empty.csv')], check=True)


def write_access(path):
    names = ('Calculated', 'Later', 'Edited', 'Decimals', 'Replicas', 'MSysCompactError')
    subprocess.run(['/usr/bin/python3', MKMDB, path] +
                   ['%s=%s' % (name, os.path.join(INPUT, 'access', name + '.csv')) for name in names], check=True)


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


# ---------------------------------------------------------------- table-loader fixtures

def loader_table(name):
    return read_typed(os.path.join('loader', name))


def write_xls_sheets(path, sheets):
    """One sheet per (name, (columns, rows)); an .xls cell cannot hold an empty text, so "" is left out."""
    book = xlwt.Workbook(encoding='utf-8')
    date_style = xlwt.easyxf(num_format_str='DD-MM-YYYY')
    for name, (columns, rows) in sheets:
        sheet = book.add_sheet(name)
        for c, (col, _) in enumerate(columns):
            sheet.write(0, c, col)
        for r, row in enumerate(rows, start=1):
            for c, value in enumerate(row):
                if value is None or value == '':
                    continue
                if isinstance(value, datetime.datetime):
                    sheet.write(r, c, value, date_style)
                else:
                    sheet.write(r, c, value)
    book.save(path)


def write_xlsx_sheets(path, sheets):
    book = openpyxl.Workbook()
    book.remove(book.active)
    for name, (columns, rows) in sheets:
        sheet = book.create_sheet(name)
        for c, (col, _) in enumerate(columns, start=1):
            sheet.cell(row=1, column=c, value=col)
        for r, row in enumerate(rows, start=2):
            for c, value in enumerate(row, start=1):
                if value is None:
                    continue
                cell = sheet.cell(row=r, column=c, value=value)
                if isinstance(value, datetime.datetime):
                    cell.number_format = 'dd-mm-yyyy'
    book.save(path)


def write_typed_csv(path, table):
    """A typed input file again, for mkmdb.py."""
    columns, rows = table
    with open(path, 'w', newline='', encoding='utf-8') as f:
        w = csv.writer(f, lineterminator='\n')
        w.writerow(['%s:%s' % c for c in columns])
        for row in rows:
            w.writerow(['' if v is None else v.strftime('%Y-%m-%d') if isinstance(v, datetime.datetime)
                        else ('%d' % v if isinstance(v, int) else '%r' % v if isinstance(v, float) else v)
                        for v in row])


def write_loader_fixtures():
    ledgers, transactions, orders = loader_table('ledgers'), loader_table('transactions'), loader_table('orders')
    sale, sale_map = loader_table('saleregister'), loader_table('saleregistermap')
    voucher, voucher_map = loader_table('voucherregister'), loader_table('voucherregistermap')
    v_transactions, v_transactions_map = loader_table('vtransactions'), loader_table('vtransactionsmap')

    write_xls_sheets(os.path.join(HERE, 'loader.xls'), [
        ('Ledgers', ledgers), ('Transactions', transactions), ('Orders', orders), ('Units', ([], [])),
        ('MyFormat', loader_table('myformat')), ('SaleRegister', sale), ('SaleRegisterMap', sale_map),
        ('V_Transactions', v_transactions), ('V_TransactionsMap', v_transactions_map),
        ('VoucherRegister', voucher), ('VoucherRegisterMap', voucher_map)])
    write_xlsx_sheets(os.path.join(HERE, 'loader.xlsx'), [
        ('Ledgers', ledgers), ('Transactions', transactions), ('SaleRegister', sale),
        ('SaleRegisterMap', sale_map), ('VoucherRegister', voucher), ('VoucherRegisterMap', voucher_map)])
    write_xls_sheets(os.path.join(HERE, 'ledgerlists.xls'), [
        ('Ledgers', ledgers), ('Transactions', loader_table('ledgertransactions'))])
    write_xls_sheets(os.path.join(HERE, 'registers.xls'), [
        ('SaleRegister', sale), ('V_Transactions', loader_table('invalidregister')),
        ('V_TransactionsMap', v_transactions_map), ('VoucherRegister', loader_table('strayregister')),
        ('VoucherRegisterMap', loader_table('straymap'))])

    tables = [('Transactions', transactions), ('StockItems', loader_table('stockitems')), ('SaleRegister', sale),
              ('SaleRegisterMap', sale_map), ('VoucherRegister', voucher), ('VoucherRegisterMap', voucher_map)]
    scratch = os.path.join(HERE, 'loader-mdb-input')
    os.makedirs(scratch, exist_ok=True)
    specs = []
    for name, table in tables:
        typed = os.path.join(scratch, name + '.csv')
        write_typed_csv(typed, table)
        specs.append(name + '=' + typed)
    subprocess.run(['/usr/bin/python3', MKMDB, os.path.join(HERE, 'loader.mdb')] + specs, check=True)
    for name, _ in tables:
        os.remove(os.path.join(scratch, name + '.csv'))
    os.rmdir(scratch)

    path = os.path.join(HERE, 'loader.sqlite')
    if os.path.exists(path):
        os.remove(path)
    db = sqlite3.connect(path)
    for name, table in (('Transactions', transactions), ('UnitsData', loader_table('units')),
                        ('SaleRegister', loader_table('emptyregister')), ('MapData', v_transactions_map),
                        ('V_Transactions', v_transactions)):
        columns, rows = table
        db.execute('CREATE TABLE "%s" (%s)' % (name, ', '.join('"%s" %s' % (c, SQL_TYPES[t]) for c, t in columns)))
        for row in rows:
            values = [v.strftime('%Y-%m-%d %H:%M:%S') if isinstance(v, datetime.datetime) else v for v in row]
            db.execute('INSERT INTO "%s" VALUES (%s)' % (name, ', '.join('?' * len(values))), values)
    db.execute('CREATE VIEW "Units" AS SELECT "Name", "Symbol" FROM "UnitsData"')
    db.execute('CREATE VIEW "SaleRegisterMap" AS SELECT * FROM "MapData"')
    db.commit()
    db.close()

    folder = os.path.join(HERE, 'loadertext')
    os.makedirs(folder, exist_ok=True)
    columns, rows = transactions
    lines = [','.join(c for c, _ in columns)]
    for row in rows:
        lines.append(','.join('' if v is None else v.strftime('%Y-%m-%d') if isinstance(v, datetime.datetime)
                              else ('%g' % v if isinstance(v, float) else str(v)) for v in row))
    with open(os.path.join(folder, 'transactions.csv'), 'w', encoding='utf-8', newline='') as f:
        f.write('\n'.join(lines) + '\n')


# ---------------------------------------------------------------- one table in every kind

def kinds_table():
    """(columns, rows) of the table written as kinds.xls, kinds.xlsx and kindstext/transactions.csv. A cell
    is None (empty), a value, or (value, number format, text): the workbooks hold the value in that
    format, the text file the text the grid shows for it."""
    date, time = 'DD-MMM-YYYY', 'hh:mm'
    stamp = 46364.75  # 08-Dec-2026 18:00
    columns = ['SrNo', 'VchType', 'VchNo', 'VchDate', 'Ledger', 'Debit', 'Credit', 'Active', 'Stamp']
    rows = [
        [1, 'Sales', 1, (datetime.datetime(2026, 12, 8), date, '08-Dec-2026'), 'Caf\u00e9 Noir', 1500, None, True,
         (stamp, date, '08-Dec-2026 18:00:00')],
        [2, 'Sales', 1, None, 'D\u2019Souza', (datetime.datetime(2026, 12, 8), date, '08-Dec-2026'), True, False,
         (stamp, time, '08-Dec-2026 18:00:00')],
        [3, 'Receipt', 2, (datetime.datetime(2100, 3, 1), date, '01-Mar-2100'), 'Bank', 123456789012345678,
         (12.5 / 24, time, '12:30:00'), True, (60, date, '28-Feb-1900')],
    ]
    return columns, rows


def write_kinds():
    columns, rows = kinds_table()
    book = xlwt.Workbook(encoding='utf-8')
    sheet = book.add_sheet('Transactions')
    styles = {}
    for c, name in enumerate(columns):
        sheet.write(0, c, name)
    for r, row in enumerate(rows, start=1):
        for c, cell in enumerate(row):
            if isinstance(cell, tuple):
                value, number_format, _ = cell
                style = styles.setdefault(number_format, xlwt.easyxf(num_format_str=number_format))
                sheet.write(r, c, value, style)
            elif cell is not None:
                sheet.write(r, c, cell)
    book.save(os.path.join(HERE, 'kinds.xls'))

    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = 'Transactions'
    sheet.append(columns)
    for r, row in enumerate(rows, start=2):
        for c, cell in enumerate(row, start=1):
            if isinstance(cell, tuple):
                value, number_format, _ = cell
                sheet.cell(row=r, column=c, value=value).number_format = number_format
            elif cell is not None:
                sheet.cell(row=r, column=c, value=cell)
    book.save(os.path.join(HERE, 'kinds.xlsx'))

    def text(cell):
        if cell is None:
            return ''
        if isinstance(cell, tuple):
            return cell[2]
        return str(cell)

    folder = os.path.join(HERE, 'kindstext')
    os.makedirs(folder, exist_ok=True)
    lines = [','.join(columns)] + [','.join(text(cell) for cell in row) for row in rows]
    with open(os.path.join(folder, 'transactions.csv'), 'w', encoding='cp1252', newline='') as f:
        f.write('\r\n'.join(lines) + '\r\n')


if __name__ == '__main__' and ACCESS_ONLY:
    write_access(os.path.join(HERE, 'access.mdb'))
elif __name__ == '__main__' and LOADER_ONLY:
    write_loader_fixtures()
    write_kinds()
elif __name__ == '__main__':
    write_loader_fixtures()
    write_kinds()
    write_xls(os.path.join(HERE, 'sample.xls'))
    write_xlsx(os.path.join(HERE, 'sample.xlsx'))
    write_xlsx_1904(os.path.join(HERE, 'dates1904.xlsx'))
    write_xlsx_cells(os.path.join(HERE, 'cells.xlsx'))
    write_mdb(os.path.join(HERE, 'sample.mdb'))
    write_access(os.path.join(HERE, 'access.mdb'))
    write_sqlite(os.path.join(HERE, 'sample.sqlite'))
    write_text(os.path.join(HERE, 'text'))
