#!/usr/bin/python3
"""References for Access databases (.mdb, .accdb):

--jackcess    jackcess, built from its source by build-jackcess.sh (found through $QUIBO_JACKCESS,
              default /work/corpora/.tools/jackcess), run by AccessDump.java (compiled from
              beside this script whenever it changes). It reads calculated columns by their
              result and texts beyond U+FFFF whole.
--mdb-export  mdbtools' mdb-tables and mdb-export, a second opinion (libmdb, which the program's
              reader uses too: agreement with it is weaker evidence).

Every user table, its columns as the database names them, values shown as the program shows such
values: a whole number as it is (a Byte 0 to 255), a double in 15 digits, a single by the shortest
text that reads back as it, a Decimal with every digit, a currency as the double nearest it, a date
"dd-MMM-yyyy" with its time.

Known apart: a table named "MSys..." ("msys-table", which the program does not list); the program reads OLE, binary, attachment and multi-value columns, extended date/time
and large-number columns as Null ("binary", "complex", "extended-date", "big-int"); a GUID
("guid"); mdb-export rounds doubles and shows dates, binaries and booleans its own way, and its
text cannot tell a number from a text of digits (compared in classes "mdb-export-date",
"mdb-export-number", "mdb-export-boolean").
"""

import csv
import datetime
import hashlib
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile

import corpuslib

SUFFIXES = (".mdb", ".accdb")
APART_TYPES = {"BINARY": "binary", "OLE": "binary", "COMPLEX_TYPE": "complex", "EXT_DATE_TIME": "extended-date",
               "BIG_INT": "big-int", "GUID": "guid", "UNKNOWN_0D": "binary", "UNKNOWN_11": "binary",
               "UNSUPPORTED_FIXEDLEN": "binary", "UNSUPPORTED_VARLEN": "binary"}


def msys_class(table):
    """The program lists no table whose name starts with "MSys", as Access hides them (a user table
    MSysCompactError that compacting leaves among them); such a table is compared apart."""
    return "msys-table" if table.lower().startswith("msys") else None


def jackcess_text(cell, column):
    """A jackcess cell as the program shows it; `column` the column's jackcess type."""
    if cell is None:
        return None
    kind, value = cell[0], cell[1]
    if kind == "s":
        return value
    if kind == "b":
        return "True" if value else "False"
    if kind == "i":
        return value
    if kind == "f":
        return corpuslib.single_text(float(value))
    if kind == "n" and column != "MONEY":
        # a Decimal holds up to 28 digits exactly, which a double would round away; a Currency is
        # compared as the double nearest it
        return corpuslib.decimal_text(value)
    if kind in ("d", "n"):
        return corpuslib.number_text(float(value))
    if kind == "t":
        when = datetime.datetime.fromisoformat(value[:26])
        return corpuslib.date_text(corpuslib.round_to_second(when))
    return "%s(%s)" % (value, cell[2])


def dump_classes(libraries):
    """A folder holding AccessDump.class compiled from the AccessDump.java beside this script, so
    that a reference built before a change to it never runs stale (one folder per version of it)."""
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "AccessDump.java")
    with open(source, "rb") as f:
        version = hashlib.sha1(f.read()).hexdigest()[:12]
    folder = os.path.join(tempfile.gettempdir(), "quibo-accessdump-" + version)
    if not os.path.exists(os.path.join(folder, "AccessDump.class")):
        building = tempfile.mkdtemp(prefix="quibo-accessdump-")
        subprocess.run(["javac", "-encoding", "UTF-8", "-d", building, "-cp", ":".join(libraries), source],
                       check=True)
        try:
            os.rename(building, folder)
        except OSError:  # another run built it first
            shutil.rmtree(building, ignore_errors=True)
    return folder


def jackcess(files, out):
    home = os.environ.get("QUIBO_JACKCESS", "/work/corpora/.tools/jackcess")
    libraries = [os.path.join(home, "jackcess.jar"), "/usr/share/java/commons-lang3.jar",
                 "/usr/share/java/commons-logging.jar"]
    classpath = ":".join([dump_classes(libraries)] + libraries)
    request = "".join("%s\t%s\n" % (key, path) for path, key in files)
    # Access 97 texts are in the code page of the database's Windows, Western here; jackcess would
    # take the JVM's.
    java = subprocess.run(["java", "-Dcom.healthmarketscience.jackcess.charset.VERSION_3=windows-1252",
                           "-cp", classpath, "AccessDump"], input=request.encode("utf-8"),
                          capture_output=True, check=False)
    sys.stderr.write(java.stderr.decode("utf-8", "replace"))
    # Lines end at "\n" only: a text may hold U+2028 or other breaks that splitlines() would cut at.
    for line in java.stdout.decode("utf-8", "surrogatepass").split("\n"):
        if not line:
            continue
        record = json.loads(line)
        if "tables" in record:
            out.no_tables(record["file"])
            continue
        if "error" in record:
            out.error(record["file"], record["error"], record.get("table"))
            continue
        types = [t.split(":")[0] for t in record["types"]]
        rows = []
        for row in record["rows"]:
            cells = []
            for cell, kind in zip(row, types):
                text = jackcess_text(cell, kind)
                if kind in APART_TYPES:
                    text = corpuslib.apart(text, APART_TYPES[kind])
                cells.append(text)
            rows.append(cells)
        out.table(record["file"], record["table"], record["columns"], rows, msys_class(record["table"]))


STAMP = "%Y-%m-%d %H:%M:%S"
NULL = "<<NULL>>"  # how mdb-export is told to write a Null, which it would write as an empty text


def mdb_export(files, out):
    for path, key in files:
        try:
            names = subprocess.run(["mdb-tables", "-1", path], capture_output=True, check=True,
                                   timeout=60).stdout.decode("utf-8", "replace").splitlines()
        except Exception as e:
            out.error(key, "mdb-tables: %s" % e)
            continue
        names = [name for name in names if name]
        if not names:
            out.no_tables(key)
        for name in names:
            try:
                data = subprocess.run(["mdb-export", "-D", STAMP, "-T", STAMP, "-B", "-0", NULL, "-b", "strip",
                                       path, name],
                                      capture_output=True, check=True, timeout=120).stdout
            except Exception as e:
                out.error(key, "mdb-export: %s" % e, name)
                continue
            rows = list(csv.reader(io.StringIO(data.decode("utf-8", "replace"), newline="")))
            if not rows:
                out.error(key, "mdb-export wrote nothing", name)
                continue
            body = []
            for row in rows[1:]:
                cells = []
                for text in row:
                    if text == NULL:
                        cells.append(None)
                        continue
                    if text in ("TRUE", "FALSE"):
                        cells.append(corpuslib.apart(text.title(), "mdb-export-boolean"))
                        continue
                    try:
                        when = datetime.datetime.strptime(text, "%Y-%m-%d %H:%M:%S")
                        cells.append(corpuslib.apart(corpuslib.date_text(when), "mdb-export-date"))
                        continue
                    except ValueError:
                        pass
                    try:
                        cells.append(corpuslib.apart(corpuslib.number_text(float(text)), "mdb-export-number"))
                    except ValueError:
                        cells.append(text)
                body.append(cells)
            out.table(key, name, rows[0], body, msys_class(name))


def main(args):
    mode = args[0]
    files = corpuslib.files_under(args[1:], SUFFIXES)
    out = corpuslib.Writer()
    if mode == "--jackcess":
        jackcess(files, out)
    elif mode == "--mdb-export":
        mdb_export(files, out)
    else:
        sys.exit("usage: ref_access.py --jackcess|--mdb-export PATH...")


if __name__ == "__main__":
    main(sys.argv[1:])
