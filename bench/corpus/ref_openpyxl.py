#!/usr/bin/python3
"""Reference for .xlsx (and .xlsm) workbooks: openpyxl (python3-openpyxl), the values Excel stored
(data_only), each worksheet as a table named "Name$", its range the cells that hold a value (an error value, which
the program reads as Null, holds none), the first row naming the columns, values shown as the program
shows such values.

Known apart: an error value ("error-value", Null in the program); a cell inside a merged range other
than its first ("merged"); a cell with a hyperlink ("hyperlink"); a date, as openpyxl tells dates by
their number format in its own way ("date"); a duration ("duration"); an Excel 4 macro sheet or a
dialog sheet, which openpyxl reads as a worksheet and the program leaves out ("macro-sheet"). openpyxl
reads an empty inline string as no value, where the program reads "" (listed as plain differences). A
header cell of a class names its column under that class.

Where openpyxl strays from the file's bytes, the reference follows the bytes:
- an empty shared string (<si><t/></si>, as POI's 60512.xlsm holds) is the text "", as Excel counts it
  (openpyxl gives no value);
- a hyperlink on a cell without a value gives that cell no value (openpyxl writes the link's target into
  it: exceljs's test-issue-877.xlsx, PhpSpreadsheet's issue.3720.xlsx);
- a value that a merged range covers stays, as "merged" (openpyxl drops it: PhpSpreadsheet's
  HiddenMergeCellsTest.xlsx and issue.3654.xlsx hold values under their merges);
- a number whose date format no date fits stays the number (openpyxl makes it #VALUE!:
  ExcelDataReader's Test_git_issue_14_InvalidOADate.xlsx, 1E12 as yyyy-mm-dd);
- a number whose format the program reads as a date (a day, month, year, hour, minute or second in its
  first section, as Excel shows it) and openpyxl does not, as "date": SheetJS's LONumbers*.xlsx ("D",
  "YY"), the built-in East Asian date 58 in PhpSpreadsheet's issue.3654.xlsx;
- a sheet wider than 16,383 columns or larger than 67,108,864 cells, which the program refuses as more
  than its grid holds (POI's 53105.xlsx fills all 16,384 columns of a row), as "grid-limit";
- a workbook in the namespace of Excel 2007's beta (http://schemas.microsoft.com/office/excel/2006/2,
  POI's sample-beta.xlsx) is refused: openpyxl reads none of its cells, where the file holds them.
"""

import datetime
import html
import re
import resource
import subprocess
import sys
import zipfile

import corpuslib
import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904 as CALENDAR_1904
from openpyxl.utils.datetime import CALENDAR_WINDOWS_1900 as CALENDAR_1900
from openpyxl.utils.datetime import to_excel
from openpyxl.cell.text import Text
from openpyxl.xml.constants import SHEET_MAIN_NS
from openpyxl.xml.functions import iterparse
import openpyxl.reader.excel
import openpyxl.worksheet._reader
import openpyxl.worksheet.worksheet


# The program refuses a sheet wider or larger than its grid holds (the grid adds a column of its own).
GRID_COLUMNS = 16383
GRID_CELLS = 67108864
MEMORY_MB = 3072
SECONDS = 300
ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def read_string_table(xml_source):
    """openpyxl's shared strings, their escapes left in for unescape(): openpyxl 3.0 only drops
    "x005F_" from them and leaves inline strings as written."""
    strings = []
    for _, node in iterparse(xml_source):
        if node.tag == "{%s}si" % SHEET_MAIN_NS:
            # An empty string (<si><t/></si>) is a text, as Excel holds it: openpyxl gives None.
            content = Text.from_tree(node).content
            strings.append("" if content is None else content)
            node.clear()
    return strings


openpyxl.reader.excel.read_string_table = read_string_table

BETA_NS = "http://schemas.microsoft.com/office/excel/2006/2"
_from_excel = openpyxl.worksheet._reader.from_excel


def from_excel(value, *args, **kwargs):
    """openpyxl's serial to date, the number itself where no date fits."""
    try:
        return _from_excel(value, *args, **kwargs)
    except (OverflowError, ValueError):
        return value


openpyxl.worksheet._reader.from_excel = from_excel
_bind_hyperlinks = openpyxl.worksheet._reader.WorksheetReader.bind_hyperlinks


def bind_hyperlinks(self):
    """openpyxl's links, without the targets it writes into cells that hold no value."""
    held = {at for at, cell in self.ws._cells.items() if cell.value is not None}
    _bind_hyperlinks(self)
    for at, cell in self.ws._cells.items():
        if at not in held and getattr(cell, "hyperlink", None) is not None:
            cell._value = None


openpyxl.worksheet._reader.WorksheetReader.bind_hyperlinks = bind_hyperlinks
_clean_merge_range = openpyxl.worksheet.worksheet.Worksheet._clean_merge_range


def clean_merge_range(self, mcr):
    """openpyxl's merge, the cells it covers kept aside in `_covered`."""
    covered = self.__dict__.setdefault("_covered", {})
    for at in list(mcr.cells)[1:]:
        cell = self._cells.get(at)
        if cell is not None and cell.value is not None:
            covered[at] = cell
    _clean_merge_range(self, mcr)


openpyxl.worksheet.worksheet.Worksheet._clean_merge_range = clean_merge_range


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
        # An empty text is a value in an .xlsx sheet, unlike an .xls one.
        text = unescape(value)
    elif isinstance(value, bool):
        text = "True" if value else "False"
    elif isinstance(value, (int, float)):
        text = corpuslib.number_text(value)
        if is_date_format(cell.number_format) or cell._style.numFmtId in BUILT_IN_DATES:
            return corpuslib.apart(text, "date")
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


# The built-in formats the program reads as dates, East Asian ones among them (openpyxl knows none of
# 27 to 36 and 50 to 58, and shows them as General).
BUILT_IN_DATES = set(range(14, 23)) | set(range(27, 37)) | set(range(45, 48)) | set(range(50, 59))


def is_date_format(code):
    """The program's rule: a day, month, year, hour, minute or second in the first section, outside
    quoted text, escaped characters and brackets, or an elapsed time in brackets."""
    i = 0
    while i < len(code):
        c = code[i]
        if c == ";":
            return False
        if c == '"':
            close = code.find('"', i + 1)
            if close < 0:
                return False
            i = close
        elif c in "\\_*":
            i += 1
        elif c == "[":
            close = code.find("]", i + 1)
            if close < 0:
                return False
            inside = code[i + 1 : close]
            if inside and all(k in "hHmMsS" for k in inside):
                return True
            i = close
        elif c in "dDmMyYhHsS":
            return True
        i += 1
    return False


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
    for at, cell in sheet.__dict__.get("_covered", {}).items():
        value = cell_value(cell, merged, date1904)
        cells[at] = value if isinstance(value, dict) else corpuslib.apart(value, "merged")
    return cells


def other_sheets(path):
    """The names of the sheets whose relationship is no worksheet's (an Excel 4 macro sheet, a dialog
    sheet): openpyxl reads them as worksheets, the program leaves them out as it does in an .xls."""
    try:
        with zipfile.ZipFile(path) as package:
            names = {n.replace("\\", "/").lower(): n for n in package.namelist()}
            xml = package.read(names["xl/workbook.xml"]).decode("utf-8", "replace")
            rels = package.read(names["xl/_rels/workbook.xml.rels"]).decode("utf-8", "replace")
    except Exception:
        return set()
    types = {}
    for rel in re.findall(r"<Relationship\b[^>]*>", rels):
        rid, kind = re.search(r'Id="([^"]*)"', rel), re.search(r'Type="([^"]*)"', rel)
        if rid and kind:
            types[rid.group(1)] = kind.group(1)
    other = set()
    for sheet in re.findall(r"<(?:\w+:)?sheet\b[^>]*>", xml):
        name, rid = re.search(r'name="([^"]*)"', sheet), re.search(r':id="([^"]*)"', sheet)
        if name and rid and not types.get(rid.group(1), "/worksheet").endswith("/worksheet"):
            other.add(html.unescape(name.group(1)))
    return other


def beta_namespace(path):
    try:
        with zipfile.ZipFile(path) as package:
            names = {n.replace("\\", "/").lower(): n for n in package.namelist()}
            return BETA_NS.encode() in package.read(names["xl/workbook.xml"])[:4096]
    except Exception:
        return False


def read_book(path, key, out):
    if beta_namespace(path):
        out.error(key, "openpyxl reads no cell of a workbook in Excel 2007's beta namespace")
        return
    try:
        book = openpyxl.load_workbook(path, data_only=True)
    except Exception as e:
        out.error(key, "%s: %s" % (type(e).__name__, e))
        return
    other = other_sheets(path)
    for sheet in book.worksheets:
        table = sheet.title + "$"
        try:
            cells = sheet_cells(sheet, book.epoch == CALENDAR_1904)
        except Exception as e:
            out.error(key, "%s: %s" % (type(e).__name__, e), table)
            continue
        columns, rows = corpuslib.table_from_cells(cells)
        kind = "macro-sheet" if sheet.title in other else None
        if len(columns) > GRID_COLUMNS or len(columns) * (len(rows) + 1) > GRID_CELLS:
            kind = "grid-limit"
        out.table(key, table, columns, rows, kind)


def limit():
    cap = MEMORY_MB << 20
    resource.setrlimit(resource.RLIMIT_AS, (cap, cap))


def main(roots):
    """Each workbook in a process of its own under a memory cap and a time limit: openpyxl holds a
    whole sheet, and one of millions of cells would take the machine's memory."""
    out = corpuslib.Writer()
    for path, key in corpuslib.files_under(roots, (".xlsx", ".xlsm")):
        try:
            done = subprocess.run([sys.executable, __file__, "--one", path, key], capture_output=True,
                                  timeout=SECONDS, preexec_fn=limit)
        except subprocess.TimeoutExpired:
            out.error(key, "openpyxl took more than %d s" % SECONDS)
            continue
        sys.stderr.write(done.stderr.decode("utf-8", "replace"))
        if done.returncode != 0:
            out.error(key, "openpyxl ended with status %d (memory cap %d MiB)" % (done.returncode, MEMORY_MB))
            continue
        sys.stdout.write(done.stdout.decode("utf-8", "surrogatepass"))
        sys.stdout.flush()


if __name__ == "__main__":
    if sys.argv[1:2] == ["--one"]:
        read_book(sys.argv[2], sys.argv[3], corpuslib.Writer())
    else:
        main(sys.argv[1:])
