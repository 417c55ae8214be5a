"""What the references share: the files they read, the JSON lines they write, and the grid texts
the program gives a typed value (its CellText rule), so that a reference's values read as the
program would show them.

A reference writes the same lines as quibo-corpus-dump. A cell is null (Null), a text, or
{"v": text-or-null, "class": NAME} for a cell of a class the reference is known to read otherwise
than the program (an error value, a merged cell, a binary column, ...): the comparer lists such
cells under their class apart, never among the plain differences and never silently.
"""

import datetime
import decimal
import fractions
import json
import math
import os
import struct
import sys

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]

# The suffixes the program's browse dialogs offer, and .xlsm (read as the .xlsx it is); a reference
# reads those of its own kind.
SOURCE_SUFFIXES = (".xls", ".xlsx", ".xlsm", ".csv", ".txt", ".mdb", ".accdb")


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


def _single_gaps(value):
    """Half the distance from a single to its neighbours below and above (exact)."""
    magnitude = abs(value)
    exponent = max(math.frexp(magnitude)[1] - 24, -149)  # a single holds 24 bits, down to 2**-149
    ulp = fractions.Fraction(2) ** exponent
    below = ulp / 2 if magnitude == 2.0 ** (exponent + 23) and exponent > -149 else ulp
    return (below / 2, ulp / 2) if value > 0 else (ulp / 2, below / 2)


def _reads_back(candidate, value, gaps):
    """Whether a decimal reads back as the single `value` (round half to even at a tie)."""
    exact = fractions.Fraction(value)
    low, high = exact - gaps[0], exact + gaps[1]
    if low < candidate < high:
        return True
    even = (struct.unpack("<I", struct.pack("<f", value))[0] & 1) == 0
    return even and candidate in (low, high)


def _shortest(value, gaps, places):
    """The decimal nearest `value` with the fewest digits that reads back as it, and the digits after
    its point; `places(n)` gives the power of ten of the last digit kept when n digits are tried."""
    exact = fractions.Fraction(value)
    for n in range(0, 160):
        step = fractions.Fraction(10) ** places(n)
        down = math.floor(exact / step) * step
        found = [c for c in (down, down + step) if _reads_back(c, value, gaps)]
        if found:
            # at a tie, the even last digit, as a round-trip writer rounds
            return min(found, key=lambda c: (abs(c - exact), int(c / step) % 2)), -places(n)
    return None


def single_text(value):
    """A single as the program shows it: the shortest text that reads back as the same single, in
    plain or E form, whichever is shorter (plain at a tie), and of those texts the one nearest the
    single, so a whole single beyond 7 digits keeps its exact digits (-8540981760, not -8540982000)
    and 2583.2092 stays 2583.2092 (7 digits, 2583.209, are another single); then shown as a double.
    `value` is the single's exact value."""
    value = float(value)
    if value == 0 or math.isnan(value) or math.isinf(value):
        return number_text(value)
    gaps = _single_gaps(value)
    top = math.floor(math.log10(abs(value)))
    if 10 ** top > abs(value):
        top -= 1
    elif 10 ** (top + 1) <= abs(value):
        top += 1
    plain, plain_places = _shortest(value, gaps, lambda n: -n)  # n digits after the point
    e_form, e_places = _shortest(value, gaps, lambda n: top - n)  # n digits after the first
    plain_text = _fixed(plain, plain_places)
    e_digits = e_places + top  # digits after the first in E form
    e_length = (value < 0) + 1 + (e_digits + 1 if e_digits > 0 else 0) + 2 + max(2, len(str(abs(top))))
    chosen = plain if len(plain_text) <= e_length else e_form
    return number_text(float(chosen))


def _fixed(number, places):
    """A fraction as printf's %f writes it with `places` digits after the point."""
    sign = "-" if number < 0 else ""
    scaled = abs(number) * fractions.Fraction(10) ** places
    digits = str(int(scaled)).rjust(places + 1, "0")
    return sign + (digits[:-places] + "." + digits[-places:] if places > 0 else digits)


def decimal_text(text):
    """A Decimal as the program shows one: every digit, no exponent, no zeros closing its fraction,
    no point without digits after it, no sign on zero ("50.325000" reads "50.325")."""
    number = decimal.Decimal(text)
    if number == 0:
        return "0"
    plain = "{:f}".format(number)
    if "." in plain:
        plain = plain.rstrip("0").rstrip(".")
    return plain


def date_text(value):
    """A date "dd-MMM-yyyy", with " HH:mm:ss" when it has a time of day; a time of day, on the zero
    date 30-Dec-1899, "HH:mm:ss" alone."""
    if isinstance(value, datetime.datetime):
        if value.date() == datetime.date(1899, 12, 30):
            return "%02d:%02d:%02d" % (value.hour, value.minute, value.second)
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
    """The names a header row gives its columns: the cell's text, or "F" and the column's number. A
    name from a cell of a class keeps its class ({"v": name, "class": NAME}): the reference reads that
    cell otherwise than the program, so it names its column otherwise too."""
    names = []
    for number, cell in enumerate(header, 1):
        kind = None
        if isinstance(cell, dict):
            kind = cell["class"] if cell["class"] not in READ_AS_NULL else None
            cell = None if cell["class"] in READ_AS_NULL else cell["v"]
        name = cell if cell else "F%d" % number
        names.append(apart(name, kind) if kind else name)
    return names


def plain_names(columns):
    """Column names without their classes."""
    return [c["v"] if isinstance(c, dict) else c for c in columns]


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

    def no_tables(self, file):
        """A source that lists no table, as the dump writes it."""
        self._emit({"file": file, "tables": []})

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
