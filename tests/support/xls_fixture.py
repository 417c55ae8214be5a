"""Writes the .xls workbooks of the end-to-end tests: each sheet's first row holds its column names,
each row below one record. None and '' leave a cell empty; a date gets a day-first date format.

Needs xlwt (Debian: python3-xlwt).
"""
import datetime

import xlwt

DATE = xlwt.easyxf(num_format_str='DD-MM-YYYY')


def write_workbook(path, sheets):
    """Writes the (name, (columns, rows)) sheets, in order, to path, and prints the path."""
    book = xlwt.Workbook(encoding='utf-8')
    for name, (columns, rows) in sheets:
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
    book.save(path)
    print(path)
