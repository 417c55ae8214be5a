"""What the references share: the files they read, the JSON lines they write, and the grid texts
the program gives a typed value (its CellText rule), so that a reference's values read as the
program would show them.

A reference writes the same lines as quibo-corpus-dump. A cell is null (Null), a text, or
{"v": text-or-null, "class": NAME} for a cell of a class the reference is known to read otherwise
than the program (an error value, a merged cell, a binary column, ...): the comparer lists such
cells under their class apart, never among the plain differences and never silently.
"""

import datetime
import json
import math
import os
import sys

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]

# The suffixes the program's browse dialogs offer; a reference reads those of its own kind.
SOURCE_SUFFIXES = (".xls", ".xlsx", ".csv", ".txt", ".mdb", ".accdb")


def files_under(roots, suffixes):
    """(path, key) for each file under the roots, the key being its path from the root given
    (a file given itself: its name), in the order quibo-corpus-dump takes them."""
    found = []
    for root in roots:
        if os.path.isfile(root):
            if root.lower().endswith(suffixes):
                found.append((root, os.path.basename(root)))
            continue
        batch = []
        for folder, _, names in os.walk(root):
            for name in names:
                path = os.path.join(folder, name)
                if name.lower().endswith(SOURCE_SUFFIXES) and name.lower().endswith(suffixes):
                    batch.append((path, os.path.relpath(path, root)))
        found.extend(sorted(batch, key=lambda p: p[1].encode("utf-16-be")))
    return found


def number_text(value):
    """VB's CStr of a double: 15 significant digits at most, no trailing zeros, E notation when the
    decimal exponent is 15 or more or below -4 ("1E+15", "1.5E-05")."""
    value = float(value)
    if math.isnan(value):
        return "NaN"
    if math.isinf(value):
        return "Inf" if value > 0 else "-Inf"
    if value == 0:
        return "0"
    mantissa, exponent = ("%.14e" % abs(value)).split("e")
    exponent = int(exponent)
    digits = mantissa.replace(".", "").rstrip("0") or "0"
    sign = "-" if value < 0 else ""
    if exponent >= 15 or exponent < -4:
        text = digits[0] + ("." + digits[1:] if len(digits) > 1 else "")
        return "%s%sE%s%02d" % (sign, text, "-" if exponent < 0 else "+", abs(exponent))
    if exponent < 0:
        return sign + "0." + "0" * (-exponent - 1) + digits
    whole = digits[: exponent + 1].ljust(exponent + 1, "0")
    fraction = digits[exponent + 1 :]
    return sign + whole + ("." + fraction if fraction else "")


def single_text(value):
    """A single (a float's value) as VB shows it: 7 significant digits."""
    value = float(value)
    if value == 0 or math.isnan(value) or math.isinf(value):
        return number_text(value)
    return number_text(float("%.7g" % value))


def date_text(value):
    """A date "dd-MMM-yyyy", with " HH:mm:ss" when it has a time of day."""
    if isinstance(value, datetime.datetime):
        day = "%02d-%s-%04d" % (value.day, MONTHS[value.month - 1], value.year)
        if (value.hour, value.minute, value.second) == (0, 0, 0):
            return day
        return day + " %02d:%02d:%02d" % (value.hour, value.minute, value.second)
    if isinstance(value, datetime.date):
        return "%02d-%s-%04d" % (value.day, MONTHS[value.month - 1], value.year)
    if isinstance(value, datetime.time):
        return date_text(datetime.datetime.combine(datetime.date(1899, 12, 30), value))
    raise TypeError(value)


def round_to_second(value):
    """A date-time to the nearest second, as a serial date's fraction reads."""
    if value.microsecond >= 500000:
        value += datetime.timedelta(seconds=1)
    return value.replace(microsecond=0)


def serial_date(serial, date1904=False):
    """A workbook's serial date as Excel shows it: the whole part counts days from 30-Dec-1899 (from
    1-Jan-1904 in a 1904 workbook), but in the 1900 system serials 1 to 59 are one day later, as
    Excel counts a 29-Feb-1900 that the calendar lacks, and serial 60 (that day) shows as the 28th.
    The fraction's size is the time of day, also for a negative serial, as OLE Automation reads it;
    the clock is rounded to the second."""
    epoch = datetime.datetime(1904, 1, 1) if date1904 else datetime.datetime(1899, 12, 30)
    day = math.trunc(serial)
    seconds = round(abs(serial - day) * 86400)
    if not date1904 and 1 <= day < 60:
        day += 1
    return epoch + datetime.timedelta(days=day, seconds=seconds)


def cell_text(value):
    """The grid text of a typed value: None stays Null."""
    if value is None:
        return None
    if isinstance(value, bool):
        return "True" if value else "False"
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        return number_text(value)
    if isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
        return date_text(value)
    return str(value)


def apart(value, name):
    """A cell of a class the reference reads otherwise than the program (see the module's text)."""
    return {"v": value, "class": name}


# Classes of cells the program reads as Null: they neither name a column nor widen a sheet's range.
READ_AS_NULL = ("error-value", "empty-text")


def holds_value(cell):
    """Whether a reference's cell widens a sheet's range: it holds a value the program reads."""
    return cell is not None and not (isinstance(cell, dict) and cell["class"] in READ_AS_NULL)


def column_names(header):
    """The names a header row gives its columns: the cell's text, or "F" and the column's number."""
    names = []
    for number, cell in enumerate(header, 1):
        if isinstance(cell, dict):
            cell = None if cell["class"] in READ_AS_NULL else cell["v"]
        names.append(cell if cell else "F%d" % number)
    return names


class Writer:
    def __init__(self, out=None):
        self.out = out or sys.stdout

    def _emit(self, record):
        self.out.write(json.dumps(record, ensure_ascii=False) + "\n")
        self.out.flush()

    def table(self, file, table, columns, rows, apart_class=None):
        """A table; with `apart_class`, one the program is known to read otherwise (or not list)."""
        record = {"file": file, "table": table, "columns": columns, "rows": rows}
        if apart_class:
            record["class"] = apart_class
        self._emit(record)

    def error(self, file, message, table=None):
        record = {"file": file}
        if table is not None:
            record["table"] = table
        record["error"] = message
        self._emit(record)


def table_from_cells(cells):
    """Columns and rows from a sheet's cells ({(row, column): cell}): the range runs from the first to
    the last cell that holds a value (holds_value), its first row naming the columns. A sheet without
    one reads as one column F1 and no rows."""
    filled = [at for at, cell in cells.items() if holds_value(cell)]
    if not filled:
        return ["F1"], []
    r0, r1 = min(r for r, _ in filled), max(r for r, _ in filled)
    c0, c1 = min(c for _, c in filled), max(c for _, c in filled)
    grid = [[cells.get((r, c)) for c in range(c0, c1 + 1)] for r in range(r0, r1 + 1)]
    return column_names(grid[0]), grid[1:]
