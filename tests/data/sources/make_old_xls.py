#!/usr/bin/python3
"""Writes the .xls files of Excel versions before 97 that the reader's tests read, record by record
(standard library only; no library writes these versions):

    /usr/bin/python3 make_old_xls.py

into biff/ beside this script, and the first four as seeds of the .xls fuzz targets:

  excel2.xls      an Excel 2 worksheet file (BIFF2: a bare record stream; cells carry three attribute
                  bytes, the second naming the number format; whole numbers as INTEGER records)
  excel3.xls      an Excel 3 worksheet file (BIFF3)
  excel4.xls      an Excel 4 worksheet file (BIFF4) in code page 1251, its first name in Cyrillic
  excel5.xls      an Excel 5/95 workbook (BIFF5 in the "Book" stream of a compound file) without a
                  CODEPAGE record, so Windows-1252; sheets "Ledgers" and "Año"
  book-biff8.xls  sample.xls with its workbook stream named "Book", as some writers name it

Each worksheet holds one table, its formulas with stored results (a number, a text, a boolean, an error):

  Name      | Amount | Opened                  | Active | Total  | Note
  Café Noir | 1500   | 45383 (a date format)   | TRUE   | 1500.5 | "posted"
  Cash      | -12.5  | 45383.75 (a stamp)      | FALSE  | TRUE   | #DIV/0!

Commit what it writes.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, 'biff')
FUZZ = [os.path.join(HERE, '..', '..', '..', 'fuzz', 'corpus', target) for target in ('fuzz_xls_reader', 'fuzz_xls_source')]


def record(rid, data=b''):
    return struct.pack('<HH', rid, len(data)) + data


def number(value):
    return struct.pack('<d', value)


# Formula results that are no number: bytes 6-7 are 0xFFFF, byte 0 says what follows.
TEXT_RESULT = bytes([0, 0, 0, 0, 0, 0, 0xFF, 0xFF])
TRUE_RESULT = bytes([1, 0, 1, 0, 0, 0, 0xFF, 0xFF])
ERROR_RESULT = bytes([2, 0, 7, 0, 0, 0, 0xFF, 0xFF])


def worksheet(biff, name, encoding):
    """The records of the table above: BIFF2, 3 or 4 as a worksheet file (its own formats and styles
    first), BIFF5 as the sheet of a workbook."""
    bof = {2: 0x0009, 3: 0x0209, 4: 0x0409, 5: 0x0809}[biff]
    out = record(bof, struct.pack('<HH', 0x0500 if biff == 5 else 0, 0x0010) + (b'\0' * {2: 0, 3: 2, 4: 2, 5: 4}[biff]))
    if biff == 4:
        out += record(0x0042, struct.pack('<H', 1251))
    if biff < 5:
        # Formats go by their place in the list: 0 General, 1 0.00, 2 a date, 3 a stamp.
        for text in (b'General', b'0.00', b'DD-MM-YYYY', b'DD-MM-YYYY hh:mm'):
            out += record(0x001E, bytes([len(text)]) + text) if biff < 4 else \
                record(0x041E, b'\0\0' + bytes([len(text)]) + text)
    if biff in (3, 4):
        for fmt in (0, 2, 3):  # XF 0, 1, 2: font 0, then the format
            out += record(0x0243 if biff == 3 else 0x0443, bytes([0, fmt]) + b'\0' * 10)
    out += record(0x0000, struct.pack('<HHHH', 0, 3, 0, 6)) if biff == 2 else \
        record(0x0200, struct.pack('<HHHHH', 0, 3, 0, 6, 0))

    # A cell's head: row, column and its style (BIFF2: attributes, the second byte the format index).
    def head(row, col, style=0):
        if biff == 2:
            return struct.pack('<HHBBB', row, col, 0, (0, 2, 3)[style], 0)
        return struct.pack('<HHH', row, col, style)

    def label(row, col, text, rid=None):
        raw = text.encode(encoding)
        if biff == 2:
            return record(0x0004, head(row, col) + bytes([len(raw)]) + raw)
        tail = b'\0' if rid == 0x00D6 else b''  # RSTRING: no formatting runs
        return record(rid or 0x0204, head(row, col) + struct.pack('<H', len(raw)) + raw + tail)

    def value(row, col, v, style=0):
        if biff == 2 and v == int(v) and v >= 0:
            return record(0x0002, head(row, col, style) + struct.pack('<H', int(v)))
        if biff > 2 and v == int(v):
            return record(0x027E, head(row, col, style) + struct.pack('<I', (int(v) << 2) | 2))
        return record(0x0003 if biff == 2 else 0x0203, head(row, col, style) + number(v))

    def boolean(row, col, v):
        return record(0x0005 if biff == 2 else 0x0205, head(row, col) + bytes([int(v), 0]))

    def formula(row, col, result, text=None):
        rid = {2: 0x0006, 3: 0x0206, 4: 0x0406, 5: 0x0006}[biff]
        rest = {2: b'\0\0', 3: b'\0' * 4, 4: b'\0' * 4, 5: b'\0' * 8}[biff]  # flags, no tokens
        out = record(rid, head(row, col) + result + rest)
        if text is not None:
            raw = text.encode(encoding)
            out += record(0x0007, bytes([len(raw)]) + raw) if biff == 2 else \
                record(0x0207, struct.pack('<H', len(raw)) + raw)
        return out

    for col, text in enumerate(('Name', 'Amount', 'Opened', 'Active', 'Total', 'Note')):
        out += label(0, col, text)
    out += label(1, 0, name) + value(1, 1, 1500) + value(1, 2, 45383, 1) + boolean(1, 3, True)
    out += formula(1, 4, number(1500.5)) + formula(1, 5, TEXT_RESULT, 'posted')
    out += label(2, 0, 'Cash', 0x00D6 if biff == 5 else None) + value(2, 1, -12.5) + value(2, 2, 45383.75, 2)
    out += boolean(2, 3, False) + formula(2, 4, TRUE_RESULT) + formula(2, 5, ERROR_RESULT)
    return out + record(0x000A)


def excel5():
    """A BIFF5 workbook stream: globals without a CODEPAGE record, then its two sheets."""
    globals_ = record(0x0809, struct.pack('<HHHH', 0x0500, 0x0005, 0x0DBB, 0x07CC))
    globals_ += record(0x041E, struct.pack('<HB', 164, 10) + b'DD-MM-YYYY')
    for fmt in (0, 164, 22):  # XF 0, 1, 2; 22 is the built-in stamp, stored by no FORMAT record
        globals_ += record(0x00E0, struct.pack('<HH', 0, fmt) + b'\0' * 12)
    names = ['Ledgers', 'A\u00f1o']
    sheets = [worksheet(5, 'Caf\u00e9 Noir', 'cp1252'),
              record(0x0809, struct.pack('<HHHH', 0x0500, 0x0010, 0, 0)) +
              record(0x0204, struct.pack('<HHHH', 0, 0, 0, 4) + b'Year') + record(0x000A)]
    at = len(globals_) + sum(4 + 7 + len(n) for n in names) + 4  # past the BOUNDSHEET records and EOF
    bound = b''
    for n, sheet in zip(names, sheets):
        raw = n.encode('cp1252')
        bound += record(0x0085, struct.pack('<IBBB', at, 0, 0, len(raw)) + raw)
        at += len(sheet)
    return globals_ + bound + record(0x000A) + b''.join(sheets)


def compound(stream_name, stream):
    """A compound file of one stream, in 512-byte sectors: the allocation table, the directory, the
    stream (padded to the 4096 bytes below which a stream would go to the mini stream)."""
    stream = stream + b'\0' * max(0, 4096 - len(stream))
    count = (len(stream) + 511) // 512
    fat = [0xFFFFFFFD, 0xFFFFFFFE] + [2 + i + 1 for i in range(count - 1)] + [0xFFFFFFFE]
    fat += [0xFFFFFFFF] * (128 - len(fat))
    header = bytes.fromhex('D0CF11E0A1B11AE1') + b'\0' * 16 + struct.pack(
        '<HHHHH6sIIIIIIIII', 0x3E, 3, 0xFFFE, 9, 6, b'', 0, 1, 1, 0, 4096, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0)
    header += struct.pack('<I', 0) + struct.pack('<I', 0xFFFFFFFF) * 108

    def entry(name, kind, child, start, size):
        raw = (name + '\0').encode('utf-16-le')
        return (raw + b'\0' * (64 - len(raw)) + struct.pack('<HBBIII', len(raw), kind, 1, 0xFFFFFFFF, 0xFFFFFFFF,
                                                             child) + b'\0' * 36 + struct.pack('<III', start, size, 0))
    directory = entry('Root Entry', 5, 1, 0xFFFFFFFE, 0) + entry(stream_name, 2, 0xFFFFFFFF, 2, len(stream))
    directory += (b'\0' * 64 + struct.pack('<HBBIII', 0, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF) + b'\0' * 48) * 2
    stream += b'\0' * (count * 512 - len(stream))
    return header + struct.pack('<128I', *fat) + directory + stream


def book_biff8():
    """sample.xls, its stream "Workbook" renamed "Book"."""
    data = bytearray(open(os.path.join(HERE, 'sample.xls'), 'rb').read())
    at = data.find('Workbook\0'.encode('utf-16-le'))
    data[at:at + 18] = 'Book\0'.encode('utf-16-le') + b'\0' * 8
    data[at + 0x40:at + 0x42] = struct.pack('<H', 10)
    return bytes(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    files = {
        'excel2.xls': worksheet(2, 'Caf\u00e9 Noir', 'cp1252'),
        'excel3.xls': worksheet(3, 'Caf\u00e9 Noir', 'cp1252'),
        'excel4.xls': worksheet(4, '\u041a\u0430\u0444\u0435', 'cp1251'),
        'excel5.xls': compound('Book', excel5()),
    }
    for name, data in files.items():
        for folder in [OUT] + FUZZ:
            with open(os.path.join(folder, name), 'wb') as f:
                f.write(data)
    with open(os.path.join(OUT, 'book-biff8.xls'), 'wb') as f:
        f.write(book_biff8())


main()
