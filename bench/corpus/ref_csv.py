#!/usr/bin/python3
"""Reference for text files (.csv, .txt): Python's csv module, under the rules the program documents
for text sources (src/sources/README.md), written out here rather than taken from its code:

- Encoding: a UTF-8 byte-order mark means UTF-8, and bytes that are not UTF-8 refuse the file; a
  UTF-16 mark (FF FE, FE FF) means UTF-16 of that order, refused when broken. Without a mark, a file
  that is UTF-8 as a whole is UTF-8, any other is Windows-1252 (as Windows maps it: the five bytes the
  code page leaves free stand for the control characters of the same number).
- Refused: a file that starts as a zip, gzip or compound file does; NUL bytes among the first 4096
  that fall as UTF-16 without a mark; a NUL anywhere else; a quote opened and never closed.
- Splitting: comma-separated, '"' quotes, a doubled quote inside quotes is one, CR, LF and CRLF end
  a row, a blank line is no row: the csv module's default dialect.
- The first row names the columns (an empty name gives "F" and the column's number); a row wider than
  the header adds columns "F<n>"; shorter rows end in Null; an empty file reads as one column F1.

Known apart: the csv module of Python 3.11 reads a quoted empty cell ("") and an unquoted one alike,
as ""; the program reads the first as "" and the second as Null. Every empty cell is therefore given
as Null in the class "empty-cell", so that a program "" there is listed apart.
"""

import csv
import io
import sys

import corpuslib

BINARY = (b"PK\x03\x04", b"PK\x05\x06", b"\x1f\x8b", b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1")
CP1252_FREE = {0x81, 0x8D, 0x8F, 0x90, 0x9D}


class Refused(Exception):
    pass


def windows_1252(data):
    return "".join(
        chr(b) if b in CP1252_FREE else bytes([b]).decode("cp1252") for b in data
    ) if any(b in CP1252_FREE for b in data) else data.decode("cp1252")


def nuls_fall_as_utf16(head):
    """NUL bytes on one side of most two-byte units, never a unit of two."""
    units = [head[i : i + 2] for i in range(0, len(head) - 1, 2)]
    sides = {0 if u[0] == 0 else 1 for u in units if 0 in u}
    if any(u == b"\0\0" for u in units) or len(sides) != 1:
        return False
    return sum(1 for u in units if 0 in u) * 4 >= len(head) // 2


def decode(data):
    if data.startswith(BINARY):
        raise Refused("is not a text file")
    if data.startswith(b"\xef\xbb\xbf"):
        try:
            return data[3:].decode("utf-8")
        except UnicodeDecodeError:
            raise Refused("marked as UTF-8 but is not")
    for mark, codec in ((b"\xff\xfe", "utf-16-le"), (b"\xfe\xff", "utf-16-be")):
        if data.startswith(mark):
            try:
                return data[2:].decode(codec)
            except UnicodeDecodeError:
                raise Refused("marked as UTF-16 but is not")
    if b"\0" in data[:4096] and nuls_fall_as_utf16(data[:4096]):
        raise Refused("UTF-16 without a byte-order mark")
    if b"\0" in data:
        raise Refused("holds a NUL character")
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return windows_1252(data)


def quote_left_open(text):
    """Whether a quote that opens a cell is never closed: quotes open only at a cell's start, and a
    quote not doubled closes them."""
    at, n, start = 0, len(text), True
    while at < n:
        c = text[at]
        if start and c == '"':
            at += 1
            while True:
                at = text.find('"', at)
                if at < 0:
                    return True
                if text.startswith('""', at):
                    at += 2
                    continue
                break
            at += 1
            start = False
            continue
        start = c in ",\r\n"
        at += 1
    return False


def read(data):
    text = decode(data)
    if "\0" in text:
        raise Refused("holds a NUL character")
    if quote_left_open(text):
        raise Refused("has a quote that is never closed")
    csv.field_size_limit(sys.maxsize)
    rows = [row for row in csv.reader(io.StringIO(text, newline="")) if row]
    if not rows:
        return ["F1"], []
    width = max(len(row) for row in rows)
    header = rows[0]
    columns = corpuslib.column_names(header) + ["F%d" % n for n in range(len(header) + 1, width + 1)]

    def cell(text):
        return text if text != "" else corpuslib.apart(None, "empty-cell")

    body = [[cell(t) for t in row] + [None] * (width - len(row)) for row in rows[1:]]
    return columns, body


def main(roots):
    out = corpuslib.Writer()
    for path, key in corpuslib.files_under(roots, (".csv", ".txt")):
        with open(path, "rb") as f:
            data = f.read()
        name = path.replace("\\", "/").rsplit("/", 1)[-1]
        try:
            columns, rows = read(data)
        except Refused as refusal:
            out.error(key, str(refusal), name)
            continue
        out.table(key, name, columns, rows)


if __name__ == "__main__":
    main(sys.argv[1:])
