#!/usr/bin/python3
"""Reference for .xlsx workbooks: openpyxl (python3-openpyxl), the values Excel stored (data_only),
each worksheet as a table named "Name$", its range the cells that hold a value (an error value or an empty text, which the program reads
as Null, holds none), the first row naming
the columns, values shown as the program shows such values.

Known apart: an error value ("error-value", Null in the program); a cell inside a merged range other
than its first ("merged"); a cell with a hyperlink ("hyperlink"); a date, as openpyxl tells dates by
their number format in its own way ("date"); an empty text ("empty-text"); a duration ("duration").
"""

import datetime
import re
import sys

import corpuslib
import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904 as CALENDAR_1904
from openpyxl.utils.datetime import CALENDAR_WINDOWS_1900 as CALENDAR_1900
from openpyxl.utils.datetime import to_excel
from openpyxl.cell.text import Text
from openpyxl.xml.constants import SHEET_MAIN_NS
from openpyxl.xml.functions import iterparse
import openpyxl.reader.excel


ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def read_string_table(xml_source):
    """openpyxl's shared strings, their escapes left in for unescape(): openpyxl 3.0 only drops
    "x005F_" from them and leaves inline strings as written."""
    strings = []
    for _, node in iterparse(xml_source):
        if node.tag == "{%s}si" % SHEET_MAIN_NS:
            strings.append(Text.from_tree(node).content)
            node.clear()
    return strings


openpyxl.reader.excel.read_string_table = read_string_table


def unescape(text):
    """A character the XML cannot hold is written _xHHHH_ (ECMA-376 ST_Xstring; "_x005F_" an
    underscore); openpyxl 3.0 leaves the escapes in."""
    return ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), text)


def cell_value(cell, merged, date1904):
    value = cell.value
    if value is None:
        return None
    if cell.data_type == "e":
        return corpuslib.apart(str(value), "error-value")
    if isinstance(value, str):
        text = unescape(value) if value != "" else corpuslib.apart("", "empty-text")
    elif isinstance(value, bool):
        text = "True" if value else "False"
    elif isinstance(value, (int, float)):
        text = corpuslib.number_text(value)
    elif isinstance(value, datetime.timedelta):
        return corpuslib.apart(str(value), "duration")
    elif isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
        # Back to the serial number, shown as Excel shows it (see corpuslib.serial_date).
        epoch = CALENDAR_1904 if date1904 else CALENDAR_1900
        serial = to_excel(value, epoch) if not isinstance(value, datetime.time) else to_excel(value)
        return corpuslib.apart(corpuslib.date_text(corpuslib.serial_date(serial, date1904)), "date")
    else:
        text = str(value)
    if (cell.row, cell.column) in merged:
        return corpuslib.apart(text, "merged")
    if cell.hyperlink is not None:
        return corpuslib.apart(text, "hyperlink")
    return text


def sheet_cells(sheet, date1904):
    merged = set()
    for area in sheet.merged_cells.ranges:
        for r in range(area.min_row, area.max_row + 1):
            for c in range(area.min_col, area.max_col + 1):
                if (r, c) != (area.min_row, area.min_col):
                    merged.add((r, c))
    cells = {}
    # The cells the sheet holds, rather than every cell of its dimension, which a cell far away (a
    # comment's anchor, a format on a whole column) makes millions.
    for (r, c), cell in list(sheet._cells.items()):
        if cell.value is not None:
            cells[(r, c)] = cell_value(cell, merged, date1904)
    return cells


def main(roots):
    out = corpuslib.Writer()
    for path, key in corpuslib.files_under(roots, (".xlsx",)):
        try:
            book = openpyxl.load_workbook(path, data_only=True)
        except Exception as e:
            out.error(key, "%s: %s" % (type(e).__name__, e))
            continue
        for sheet in book.worksheets:
            table = sheet.title + "$"
            try:
                cells = sheet_cells(sheet, book.epoch == CALENDAR_1904)
            except Exception as e:
                out.error(key, "%s: %s" % (type(e).__name__, e), table)
                continue
            columns, rows = corpuslib.table_from_cells(cells)
            out.table(key, table, columns, rows)


if __name__ == "__main__":
    main(sys.argv[1:])
