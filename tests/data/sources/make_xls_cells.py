#!/usr/bin/python3
"""Writes the .xls workbooks of the reader's tests beside this script (xlwt):

    /usr/bin/python3 make_xls_cells.py

cells.xls      sheet Formats: serials (whole, fractional, 0, 1, 60, 61, negative, a clock at 24:00, past
               the year 9999), 7, 12.34, True and a text under 42 number formats, built-in and custom;
               sheet Times: 600 random serials in a stamp, a time and a date format and plain, with
               whole and hundredfold numbers; sheet Texts: 1,500 texts of Latin-1, other and mixed
               characters, enough to spread the shared strings over CONTINUE records; a hidden sheet
cells1904.xls  dates on the 1904 system
formulas.xls   one sheet "Formulas" whose formula cells carry cached results.

xlwt writes formulas without a result, so the results are set afterwards in the written records (which
keep their length). Row by row, under the header "Plain", "Date", "Stamp" (General, DD-MM-YYYY and
DD-MM-YYYY hh:mm):
  1  the number 45383.75 in each column
  2  the boolean True      3  the error #DIV/0!      4  an empty text      5  the number -3.25
  6  column A the text "cached text of twenty-six" (its STRING record takes the place of the formula
     in column B, which so holds nothing), column C the boolean False
Commit what it writes.
"""
import os
import random
import struct

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
PATH = os.path.join(HERE, 'formulas.xls')
FORMATS = ['General', '0', '0.00', 'DD-MM-YYYY', 'dd/mm/yy', 'mm-dd-yy', 'd-mmm-yy', 'd-mmm', 'mmm-yy',
           'h:mm AM/PM', 'h:mm:ss AM/PM', 'h:mm', 'h:mm:ss', 'm/d/yy h:mm', 'mm:ss', '[h]:mm:ss', 'mm:ss.0',
           'yyyy-mm-dd hh:mm:ss', 'hh:mm:ss', 'YYYY', 'MMMM', '"d"0', '#,##0.00" dr"', '[Red]0.00', '0.00E+00',
           '@', '[$-409]d-mmm-yyyy', 'dd-mm-yyyy;@', 'General "days"', '\\d0', 'ss', 'HH', 'yyyy-mm-dd"T"hh:mm',
           'd', 'mm', 'e', 'AM/PM', '[m]', '0%', '# ?/?', 'yy', 'DD-MM-YYYY hh:mm:ss']
SERIALS = [45383.0, 45383.5729, 0.25, 1.0, 60.0, 61.0, 0.0, -1.0, 45383.99999999, 45383.000005787, 2958465.9,
           45383.6, 3000000.0, 0.5]


def write_cells():
    book = xlwt.Workbook(encoding='utf-8')
    sheet = book.add_sheet('Formats')
    for c, f in enumerate(FORMATS):
        style = xlwt.easyxf(num_format_str=f)
        sheet.write(0, c, f)
        for r, v in enumerate(SERIALS + [7, 12.34, True, 'x'], start=1):
            sheet.write(r, c, v, style)
    sheet = book.add_sheet('Times')
    stamp, clock, day = (xlwt.easyxf(num_format_str=f) for f in ('DD-MM-YYYY hh:mm:ss', 'hh:mm:ss', 'DD-MM-YYYY'))
    rng = random.Random(1)
    for r in range(600):
        v = rng.uniform(0, 60000) if r % 3 else rng.randint(0, 60000) + rng.randint(0, 86399) / 86400.0
        for c, style in enumerate((stamp, clock, day)):
            sheet.write(r, c, v, style)
        sheet.write(r, 3, v)
        sheet.write(r, 4, rng.randint(-2 ** 31, 2 ** 31))
        sheet.write(r, 5, rng.randint(-600000, 600000) / 100.0)
    sheet = book.add_sheet('Texts')
    for r in range(1500):
        sheet.write(r, 0, ('\u00fc' * (r % 37)) + '\u0928\u0915\u0926' * (r % 5) + str(r) if r % 3
                    else 'plain%d' % r * (r % 11 + 1))
    hidden = book.add_sheet('Hidden')
    hidden.write(0, 0, 'h')
    hidden.visibility = 1
    book.save(os.path.join(HERE, 'cells.xls'))

    book = xlwt.Workbook()
    book.dates_1904 = True
    sheet = book.add_sheet('Dates')
    for r, v in enumerate([1.0, 0.0, 45000.5, -1.0, 1461.25]):
        sheet.write(r, 0, v, day)
        sheet.write(r, 1, v, stamp)
    book.save(os.path.join(HERE, 'cells1904.xls'))


write_cells()
TEXT = b'cached text of twenty-six!'  # 26 characters: a STRING record as long as a formula record

book = xlwt.Workbook()
sheet = book.add_sheet('Formulas')
styles = [xlwt.easyxf(num_format_str=f) for f in ('General', 'DD-MM-YYYY', 'DD-MM-YYYY hh:mm')]
for c, name in enumerate(('Plain', 'Date', 'Stamp')):
    sheet.write(0, c, name)
for r in range(1, 7):
    for c in range(3):
        sheet.write(r, c, xlwt.Formula('%d+%d' % (r, c)), styles[c])
book.save(PATH)

results = {1: struct.pack('<d', 45383.75), 2: bytes([1, 0, 1, 0, 0, 0, 0xff, 0xff]),
           3: bytes([2, 0, 7, 0, 0, 0, 0xff, 0xff]), 4: bytes([3, 0, 0, 0, 0, 0, 0xff, 0xff]),
           5: struct.pack('<d', -3.25), 6: bytes([1, 0, 0, 0, 0, 0, 0xff, 0xff])}
data = bytearray(open(PATH, 'rb').read())
found = 0
at = data.find(b'\x06\x00')
while at >= 0:
    size = struct.unpack_from('<H', data, at + 2)[0]
    row, col = struct.unpack_from('<HH', data, at + 4)
    if size == 29 and row in results and col < 3:
        found += 1
        data[at + 10:at + 18] = results[row]
        if row == 6 and col == 0:
            data[at + 10:at + 18] = bytes([0, 0, 0, 0, 0, 0, 0xff, 0xff])
        if row == 6 and col == 1:
            data[at:at + 33] = struct.pack('<HHHB', 0x0207, 29, len(TEXT), 0) + TEXT
    at = data.find(b'\x06\x00', at + 1)
assert found == 18, found
open(PATH, 'wb').write(data)
