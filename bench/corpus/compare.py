#!/usr/bin/python3
"""Holds the program's tables (quibo-corpus-dump's JSON lines) against a reference's tables of the
same files and prints, per file, one of:
  identical             every table, column and cell alike
  apart                 alike but for cells of classes the reference is known to read otherwise
                        (each listed with its class)
  differing             cells, columns or tables differ (each listed: file, table, row, column, both)
  refused by program    (the program's message), the reference read it
  refused by reference  (the reference's message), the program read it
  refused by both
then a summary line. A file is refused when it does not open or none of its sheets reads; a sheet
refused by one side in a file whose other sheets read is a difference of that sheet
("sheet-refused-by-program", "sheet-refused-by-reference"; "sheet-refused-by-both" is no plain one). A table whose rows are the same but in another order is one difference of the
class "row-order". Files the reference does not read (another kind) are counted as not covered.

  compare.py PROGRAM.jsonl REFERENCE.jsonl [--quiet] [--max-cells N] [--json OUT]
Rows count from 1 (the first row under the header); "columns" and "rows" mark a difference in the
header or the number of rows. A value absent on one side prints as <absent>.
"""

import argparse
import collections
import json
import sys

from corpuslib import plain_names

ABSENT = "<absent>"


def load(path):
    files = collections.OrderedDict()
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line:
                continue
            try:
                record = json.loads(line)
            except json.JSONDecodeError as e:
                # A dump cut short by a crash: its last line may be broken.
                print("%s:%d: not JSON (%s)" % (path, number, e), file=sys.stderr)
                continue
            entry = files.setdefault(record["file"], {"tables": collections.OrderedDict(), "errors": []})
            if "error" in record:
                entry["errors"].append((record.get("table"), record["error"]))
            elif "table" in record:
                entry["tables"][record["table"]] = record
    return files


# Differences no class of the reference explains.
PLAIN = ("cell", "columns", "rows", "table", "sheet-refused-by-program", "sheet-refused-by-reference")


def refused_whole(entry):
    """Whether a side refused the file: it would not open, or it read none of its sheets."""
    return bool(entry["errors"]) and (any(table is None for table, _ in entry["errors"]) or not entry["tables"])


def refused_sheets(entry):
    return collections.OrderedDict((table, message) for table, message in entry["errors"] if table is not None)


def show(value):
    return "Null" if value is None else json.dumps(value, ensure_ascii=False)


def compare_tables(file, name, ours, theirs, out):
    """Appends (class, table, row, column, program, reference) for each difference."""
    names = plain_names(theirs["columns"])
    if ours["columns"] != names:
        classed = [(c, t) for c, t in enumerate(theirs["columns"])
                   if isinstance(t, dict) and c < len(ours["columns"]) and ours["columns"][c] != t["v"]]
        plain = len(ours["columns"]) != len(names) or any(
            ours["columns"][c] != t for c, t in enumerate(theirs["columns"]) if not isinstance(t, dict))
        if plain:
            out.append(("columns", name, "columns", "", show(ours["columns"]), show(names)))
        else:
            # Only names from cells of a class differ: each is a difference of its cell's class.
            for c, t in classed:
                out.append((t["class"], name, "columns", "F%d" % (c + 1), show(ours["columns"][c]), show(t["v"])))
    rows_ours, rows_theirs = ours["rows"], theirs["rows"]
    if len(rows_ours) != len(rows_theirs):
        out.append(("rows", name, "rows", "", str(len(rows_ours)), str(len(rows_theirs))))
    columns = ours["columns"]
    if len(rows_ours) == len(rows_theirs) and rows_ours != rows_theirs and ours["columns"] == names:
        # The same rows in another order: a table read without an order has none that either side must keep.
        # Columns the reference reads apart in some row are left out of the rows' likeness.
        apart = {c for row in rows_theirs for c, cell in enumerate(row) if isinstance(cell, dict)}

        def key(row):
            return [json.dumps(cell) for c, cell in enumerate(row) if c not in apart]

        moved = sum(1 for a, b in zip(rows_ours, rows_theirs) if key(a) != key(b))
        if moved and sorted(map(key, rows_ours)) == sorted(map(key, rows_theirs)):
            out.append(("row-order", name, "rows", "", "%d rows in another order" % moved, ""))
            return
    for r in range(min(len(rows_ours), len(rows_theirs))):
        a, b = rows_ours[r], rows_theirs[r]
        for c in range(max(len(a), len(b))):
            x = a[c] if c < len(a) else ABSENT
            y = b[c] if c < len(b) else ABSENT
            kind = "cell"
            if isinstance(y, dict):
                kind, y = y["class"], y["v"]
            if x == y:
                continue
            column = columns[c] if c < len(columns) else "#%d" % (c + 1)
            out.append((kind, name, str(r + 1), column, show(x) if x is not ABSENT else ABSENT,
                        show(y) if y is not ABSENT else ABSENT))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("reference")
    parser.add_argument("--quiet", action="store_true", help="the summary and the class counts only")
    parser.add_argument("--max-cells", type=int, default=20, help="differences printed per file")
    parser.add_argument("--json", help="write the per-file outcomes and differences here")
    parser.add_argument("--expect-identical", action="store_true",
                        help="exit 1 unless every covered file is identical or apart")
    args = parser.parse_args()

    ours, theirs = load(args.program), load(args.reference)
    counts = collections.Counter()
    classes = collections.Counter()
    class_files = collections.defaultdict(set)
    report = []
    for file, ref in theirs.items():
        mine = ours.get(file)
        if mine is None:
            mine = {"tables": {}, "errors": [(None, "(no output: the dump crashed or skipped the file)")]}
        differences = []
        refused_mine, refused_ref = refused_whole(mine), refused_whole(ref)
        if refused_mine and refused_ref:
            outcome = "refused by both"
        elif refused_mine:
            outcome = "refused by program"
        elif refused_ref:
            outcome = "refused by reference"
        else:
            # A sheet refused by one side is told per sheet: the file's other sheets are compared.
            sheets_mine, sheets_ref = refused_sheets(mine), refused_sheets(ref)
            for name, message in sheets_mine.items():
                if name in sheets_ref:
                    differences.append(("sheet-refused-by-both", name, "", "", message, sheets_ref[name]))
                elif name in ref["tables"]:
                    # A sheet of a class (one wider than the grid) is refused by the program by design.
                    kind = ref["tables"][name].get("class", "sheet-refused-by-program")
                    differences.append((kind, name, "", "", message, "read"))
                else:
                    differences.append(("table", name, "", "", message, ABSENT))
            for name, message in sheets_ref.items():
                if name in mine["tables"]:
                    differences.append(("sheet-refused-by-reference", name, "", "", "read", message))
                elif name not in sheets_mine:
                    differences.append(("table", name, "", "", ABSENT, message))
            for name, table in ref["tables"].items():
                if name in sheets_mine:
                    continue
                if name not in mine["tables"]:
                    differences.append((table.get("class", "table"), name, "", "", ABSENT, "table"))
                elif "class" in table:
                    found = []
                    compare_tables(file, name, mine["tables"][name], table, found)
                    differences += [(table["class"],) + d[1:] for d in found]
                else:
                    compare_tables(file, name, mine["tables"][name], table, differences)
            for name in mine["tables"]:
                if name not in ref["tables"] and name not in sheets_ref:
                    differences.append(("table", name, "", "", "table", ABSENT))
            plain = [d for d in differences if d[0] in PLAIN]
            outcome = "differing" if plain else "apart" if differences else "identical"
        counts[outcome] += 1
        for d in differences:
            classes[d[0]] += 1
            class_files[d[0]].add(file)
        report.append({"file": file, "outcome": outcome,
                       "program_error": mine["errors"][0][1] if mine["errors"] else None,
                       "reference_error": ref["errors"][0][1] if ref["errors"] else None,
                       "differences": [dict(zip(("class", "table", "row", "column", "program", "reference"), d))
                                       for d in differences]})
        if args.quiet:
            continue
        line = "%s: %s" % (file, outcome)
        if outcome == "refused by program":
            line += " (%s)" % mine["errors"][0][1]
        elif outcome == "refused by reference":
            line += " (%s)" % ref["errors"][0][1]
        elif outcome == "refused by both":
            line += " (program: %s | reference: %s)" % (mine["errors"][0][1], ref["errors"][0][1])
        print(line)
        for d in differences[: args.max_cells]:
            print("  [%s] %s row %s column %s: program %s, reference %s" % d)
        if len(differences) > args.max_cells:
            print("  ... %d more" % (len(differences) - args.max_cells))
    uncovered = [f for f in ours if f not in theirs]
    for name in sorted(classes):
        print("class %s: %d cells in %d files" % (name, classes[name], len(class_files[name])))
    print("summary: %d files: %d identical, %d apart, %d differing, %d refused by program only, "
          "%d refused by reference only, %d refused by both; %d not covered by the reference"
          % (len(theirs), counts["identical"], counts["apart"], counts["differing"],
             counts["refused by program"], counts["refused by reference"], counts["refused by both"],
             len(uncovered)))
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump(report, f, ensure_ascii=False, indent=1)
    if args.expect_identical:
        bad = counts["differing"] + counts["refused by program"] + counts["refused by reference"]
        if bad or not theirs:
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
