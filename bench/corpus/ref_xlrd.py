#!/usr/bin/python3
"""Reference for .xls workbooks: xlrd (python3-xlrd), each sheet as a table named "Name$" (an Excel 2
to 4 worksheet file's one sheet by the file's name), its range the cells that hold a value
(an error value or an empty text, which the program reads as Null, holds none), the first row naming the columns, cells typed as xlrd reads them and shown as the program shows such values.

Dates are shown as Excel shows the serial number (corpuslib.serial_date).

Known apart: an error value (#DIV/0!, #N/A) reads as its text here and as Null in the program
("error-value"); an empty text cell reads "" here and Null in the program ("empty-text"); a number that
xlrd reads as a date by its format ("date", the two readers' date formats told apart differently);
a number in an elapsed-time format ([h], [m], [s]), which xlrd reads as a number and the program as
a date ("elapsed-time"); a cell inside a merged range other than its first ("merged").
"""

import os
import re
import sys

import corpuslib
import xlrd


ELAPSED = re.compile(r"\[(h+|m+|s+)\]", re.IGNORECASE)


def cell_value(sheet, book, r, c, merged):
    value = plain_value(sheet, book, r, c)
    if (r, c) in merged and value is not None:
        return corpuslib.apart(value["v"] if isinstance(value, dict) else value, "merged")
    return value


def plain_value(sheet, book, r, c):
    cell = sheet.cell(r, c)
    if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
        return None
    if cell.ctype == xlrd.XL_CELL_TEXT:
        return cell.value if cell.value != "" else corpuslib.apart("", "empty-text")
    if cell.ctype == xlrd.XL_CELL_NUMBER:
        if book.formatting_info and cell.xf_index is not None:
            form = book.format_map.get(book.xf_list[cell.xf_index].format_key)
            if form is not None and ELAPSED.search(form.format_str):
                return corpuslib.apart(corpuslib.number_text(cell.value), "elapsed-time")
        return corpuslib.number_text(cell.value)
    if cell.ctype == xlrd.XL_CELL_BOOLEAN:
        return "True" if cell.value else "False"
    if cell.ctype == xlrd.XL_CELL_ERROR:
        return corpuslib.apart(xlrd.error_text_from_code.get(cell.value, "#ERR"), "error-value")
    if cell.ctype == xlrd.XL_CELL_DATE:
        try:
            when = corpuslib.serial_date(cell.value, book.datemode == 1)
            return corpuslib.apart(corpuslib.date_text(when), "date")
        except Exception:
            return corpuslib.apart(corpuslib.number_text(cell.value), "date")
    return str(cell.value)


def sheet_cells(sheet, book):
    merged = set()
    for r0, r1, c0, c1 in sheet.merged_cells if book.formatting_info else ():
        merged.update((r, c) for r in range(r0, r1) for c in range(c0, c1) if (r, c) != (r0, c0))
    cells = {}
    for r in range(sheet.nrows):
        for c in range(sheet.row_len(r)):
            value = cell_value(sheet, book, r, c, merged)
            if value is not None:
                cells[(r, c)] = value
    return cells


def open_book(path, formats):
    try:
        return xlrd.open_workbook(path, on_demand=True, logfile=sys.stderr, formatting_info=formats)
    except UnicodeDecodeError:
        return xlrd.open_workbook(path, on_demand=True, logfile=sys.stderr, formatting_info=formats,
                                  encoding_override="cp1252")


def main(roots):
    out = corpuslib.Writer()
    for path, key in corpuslib.files_under(roots, (".xls",)):
        try:
            # xlrd's notes go to stderr. It reads a file without a CODEPAGE record as ASCII; the
            # program reads it as Windows-1252.
            # Formats tell the elapsed times and merged ranges; xlrd reads them only from Excel 97 files.
            book = None
            for formats in (True, False):
                try:
                    book = open_book(path, formats)
                    break
                except NotImplementedError:
                    continue
            names = book.sheet_names()
        except Exception as e:
            out.error(key, "%s: %s" % (type(e).__name__, e))
            continue
        worksheet_file = book.biff_version < 50 and len(names) == 1
        for index, name in enumerate(names):
            table = (os.path.splitext(os.path.basename(path))[0] if worksheet_file else name) + "$"
            try:
                cells = sheet_cells(book.sheet_by_index(index), book)
            except Exception as e:
                out.error(key, "%s: %s" % (type(e).__name__, e), table)
                continue
            columns, rows = corpuslib.table_from_cells(cells)
            out.table(key, table, columns, rows)


if __name__ == "__main__":
    main(sys.argv[1:])
