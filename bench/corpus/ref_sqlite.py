#!/usr/bin/python3
"""Reference for ODBC through SQLite databases: SQLite's own library (Python's sqlite3 module), every
table and then every view of each database file given, each value as SQLite stores it (its storage
class, not its column's declared type) shown as the program shows such values. The file is named as
quibo-corpus-dump --connection names it: "Driver=SQLite3;Database=<absolute path>".

Known apart: SQLite's own tables (sqlite_sequence), which the driver lists among the tables
("sqlite-internal"); a text in ISO form ("2009-01-01 00:00:00") in a column declared as a date or time, which
the ODBC driver hands out as a date ("declared-date"). A blob reads Null, as the program reads one in
every column.
"""

import datetime
import os
import sqlite3
import sys

import corpuslib


def connection_string(path):
    return "Driver=SQLite3;Database=%s" % os.path.abspath(path)


def value_text(value, declared):
    if value is None:
        return None
    if isinstance(value, bytes):
        return None
    if isinstance(value, str) and any(word in declared.upper() for word in ("DATE", "TIME")):
        try:
            when = datetime.datetime.fromisoformat(value)
            return corpuslib.apart(corpuslib.date_text(corpuslib.round_to_second(when)), "declared-date")
        except ValueError:
            return value
    return corpuslib.cell_text(value)


def main(paths):
    out = corpuslib.Writer()
    for path in paths:
        key = connection_string(path)
        try:
            db = sqlite3.connect("file:%s?mode=ro" % os.path.abspath(path), uri=True)
            db.text_factory = lambda b: b.decode("utf-8", "surrogateescape")
            names = [row[0] for kind in ("table", "view") for row in db.execute(
                "select name from sqlite_master where type = ? order by name collate nocase", (kind,))]
        except Exception as e:
            out.error(key, "%s: %s" % (type(e).__name__, e))
            continue
        for name in names:
            try:
                cursor = db.execute('select * from "%s"' % name.replace('"', '""'))
                columns = [d[0] for d in cursor.description]
                declared = {row[1]: row[2] or "" for row in db.execute(
                    'pragma table_info("%s")' % name.replace('"', '""'))}
                rows = [[value_text(v, declared.get(c, "")) for v, c in zip(row, columns)] for row in cursor]
            except Exception as e:
                out.error(key, "%s: %s" % (type(e).__name__, e), name)
                continue
            out.table(key, name, columns, rows, "sqlite-internal" if name.startswith("sqlite_") else None)


if __name__ == "__main__":
    main(sys.argv[1:])
