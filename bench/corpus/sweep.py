#!/usr/bin/python3
"""Damage sweeps: damaged copies of a file, each read by quibo-corpus-dump under a time limit and a
memory cap, each outcome held against the reading of the whole file.

  sweep.py --dump DUMP --copies 300 --out FOLDER FILE...

The copies take turns: cut short at a page boundary (walking through the file), one byte changed, one
page zeroed, two pages swapped (a page: 4096 bytes in an Access 2000+ file, 2048 in Access 97, a
512-byte sector in an .xls, 4096 bytes in an .xlsx, 256 bytes in a text file); in an Access file
also a page of rows copied over another page of the same table (both naming one design at byte 4),
and three bits flipped in the used part of a design page. Each is seeded from
the file's name and the copy's number, so that a run can be repeated. Outcomes:
  refused   the source or one of its tables refused with a message
  whole     read, every table, column and cell as in the whole file
  changed   the same tables, columns and rows, some cells changed
  short     tables, columns or rows lost without a refusal
  more      tables, columns or rows that the whole file does not have
  crashed   ended by a signal, or past the memory cap (std::bad_alloc), or killed at the time limit
and, apart, "slow": the copies that took more than a second. A crashed copy is kept in
FOLDER/crashed/ and a short one in FOLDER/short/, to be read again. FOLDER/sweep.json holds every copy's outcome.
"""

import argparse
import collections
import concurrent.futures
import hashlib
import json
import os
import random
import resource
import shutil
import subprocess
import sys
import tempfile
import time

KINDS = ("cut", "byte", "zero", "swap")
ACCESS_KINDS = KINDS + ("copy", "bits")


def page_size(path, data):
    suffix = os.path.splitext(path)[1].lower()
    if suffix in (".mdb", ".accdb"):
        return 2048 if len(data) > 0x14 and data[0x14] == 0 else 4096
    if suffix == ".xls":
        return 512
    if suffix == ".xlsx":
        return 4096
    return 256


def access_damage(data, page, pages, kind, rng, copy):
    """A page of rows copied over another of its table, or three bits of a design flipped; None when
    the file has no two pages of one table (or no design)."""
    if kind == "copy":
        tables = collections.defaultdict(list)
        for p in range(pages):
            at = p * page
            owner = int.from_bytes(data[at + 4 : at + 8], "little")
            if data[at] == 0x01 and owner < pages and data[owner * page] == 0x02:
                tables[owner].append(p)
        groups = [g for g in tables.values() if len(g) > 1]
        if not groups:
            return None
        a, b = rng.sample(rng.choice(groups), 2)
        copy[b * page : (b + 1) * page] = data[a * page : (a + 1) * page]
        return bytes(copy), "page %d copied over page %d of its table" % (a, b)
    designs = [p for p in range(pages) if data[p * page] == 0x02]
    if not designs:
        return None
    p = rng.choice(designs)
    used = max(16, min(page, 8 + int.from_bytes(data[p * page + 8 : p * page + 12], "little")))
    flipped = []
    for _ in range(3):
        at = p * page + rng.randrange(used)
        bit = rng.randrange(8)
        copy[at] ^= 1 << bit
        flipped.append("%d.%d" % (at, bit))
    return bytes(copy), "design page %d: bits %s flipped" % (p, ", ".join(flipped))


def damage(data, page, number, copies, seed, kinds=KINDS):
    """The copy `number` of `copies`, and what was done to it."""
    rng = random.Random("%s:%d" % (seed, number))
    kind = kinds[number % len(kinds)]
    pages = max(1, (len(data) + page - 1) // page)
    copy = bytearray(data)
    if kind in ("copy", "bits"):
        done = access_damage(data, page, pages, kind, rng, copy)
        if done:
            return done
        kind = "swap"
    if kind == "cut":
        cuts = max(1, copies // len(kinds))
        step = max(1, pages // cuts) if pages > cuts else 1
        at = min(len(data) - 1, (1 + (number // len(kinds)) * step) * page) if len(data) > page else len(data) // 2
        return bytes(copy[:at]), "cut at %d" % at
    if kind == "byte":
        at = rng.randrange(len(data))
        value = rng.randrange(256)
        if value == copy[at]:
            value ^= 0xFF
        copy[at] = value
        return bytes(copy), "byte %d set to 0x%02x" % (at, value)
    if kind == "zero":
        p = rng.randrange(pages)
        copy[p * page : (p + 1) * page] = bytes(len(copy[p * page : (p + 1) * page]))
        return bytes(copy), "page %d zeroed" % p
    a, b = rng.randrange(pages), rng.randrange(pages)
    if pages > 1:
        while b == a:
            b = rng.randrange(pages)
    pa, pb = bytes(copy[a * page : (a + 1) * page]), bytes(copy[b * page : (b + 1) * page])
    if len(pa) == len(pb):
        copy[a * page : (a + 1) * page], copy[b * page : (b + 1) * page] = pb, pa
    return bytes(copy), "pages %d and %d swapped" % (a, b)


def kind_of(what):
    """The kind of damage a copy's description names."""
    for words, kind in (("cut at", "cut"), ("byte", "byte"), ("zeroed", "zero"), ("swapped", "swap"),
                        ("copied over", "copy"), ("flipped", "bits")):
        if words in what:
            return kind
    return "other"


def read_tables(output):
    tables, errors = {}, []
    for line in output.decode("utf-8", "surrogatepass").split("\n"):
        if not line.strip():
            continue
        try:
            record = json.loads(line)
        except json.JSONDecodeError:
            errors.append("(broken output line)")
            continue
        if "error" in record:
            errors.append(record["error"])
        elif "table" in record:  # else a source that lists no table
            tables[record["table"]] = record
    return tables, errors


def run_dump(dump, path, seconds, memory_mb):
    def limit():
        cap = memory_mb << 20
        resource.setrlimit(resource.RLIMIT_AS, (cap, cap))
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))

    start = time.monotonic()
    try:
        done = subprocess.run([dump, path], capture_output=True, timeout=seconds, preexec_fn=limit)
    except subprocess.TimeoutExpired as e:
        return None, e.stdout or b"", time.monotonic() - start
    return done.returncode, done.stdout, time.monotonic() - start


def outcome(whole, code, output):
    if code is None:
        return "crashed", "killed at the time limit"
    if code < 0:
        return "crashed", "signal %d" % -code
    tables, errors = read_tables(output)
    if any("bad_alloc" in e for e in errors):
        return "crashed", "past the memory cap"
    if code != 0:
        return "crashed", "exit status %d" % code
    if errors:
        return "refused", errors[0][:200]
    short = more = changed = False
    for name, table in whole.items():
        mine = tables.get(name)
        if mine is None:
            short = True
            continue
        if len(mine["columns"]) < len(table["columns"]) or len(mine["rows"]) < len(table["rows"]):
            short = True
        elif len(mine["columns"]) > len(table["columns"]) or len(mine["rows"]) > len(table["rows"]):
            more = True
        elif mine["columns"] != table["columns"] or mine["rows"] != table["rows"]:
            changed = True
    more = more or any(name not in whole for name in tables)
    if short:
        return "short", ""
    if more:
        return "more", ""
    return ("changed", "") if changed else ("whole", "")


def sweep_file(args, path):
    with open(path, "rb") as f:
        data = f.read()
    page = page_size(path, data)
    kinds = ACCESS_KINDS if os.path.splitext(path)[1].lower() in (".mdb", ".accdb") else KINDS
    seed = hashlib.sha1(os.path.basename(path).encode()).hexdigest()
    code, output, _ = run_dump(args.dump, path, args.seconds, args.memory)
    whole, errors = read_tables(output)
    if code != 0 or errors:
        return {"file": path, "error": "the whole file does not read: %s" % (errors[:1] or code)}
    work = tempfile.mkdtemp(prefix="quibo-sweep-")
    results = []
    try:
        for number in range(args.copies):
            copy, what = damage(data, page, number, args.copies, seed, kinds)
            # The copy keeps the file's name: a text file's table is named by it.
            target = os.path.join(work, os.path.basename(path))
            with open(target, "wb") as f:
                f.write(copy)
            code, output, seconds = run_dump(args.dump, target, args.seconds, args.memory)
            result, detail = outcome(whole, code, output)
            results.append({"copy": number, "damage": what, "outcome": result, "detail": detail,
                            "seconds": round(seconds, 3)})
            if result in ("crashed", "short"):
                keep = os.path.join(args.out, result)
                os.makedirs(keep, exist_ok=True)
                shutil.copy(target, os.path.join(keep, "%s.%d%s" % (
                    os.path.splitext(os.path.basename(path))[0], number, os.path.splitext(path)[1])))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return {"file": path, "page": page, "copies": results}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dump", required=True)
    parser.add_argument("--copies", type=int, default=100)
    parser.add_argument("--out", required=True)
    parser.add_argument("--seconds", type=float, default=10, help="the time limit of one copy")
    parser.add_argument("--memory", type=int, default=2048, help="the memory cap of one copy, in MiB")
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    with concurrent.futures.ThreadPoolExecutor(args.workers) as pool:
        reports = list(pool.map(lambda p: sweep_file(args, p), args.files))
    total = collections.Counter()
    by_kind = collections.defaultdict(collections.Counter)
    slow_total = 0
    for report in reports:
        if "error" in report:
            print("%s: %s" % (report["file"], report["error"]))
            continue
        counts = collections.Counter(c["outcome"] for c in report["copies"])
        for c in report["copies"]:
            by_kind[kind_of(c["damage"])][c["outcome"]] += 1
        slow = sum(1 for c in report["copies"] if c["seconds"] > 1)
        total.update(counts)
        slow_total += slow
        print("%s: %s; slow %d" % (report["file"], ", ".join("%s %d" % kv for kv in sorted(counts.items())), slow))
    for kind, counts in sorted(by_kind.items()):
        print("  %s: %s" % (kind, ", ".join("%s %d" % kv for kv in sorted(counts.items()))))
    print("total: %d copies: %s; slow %d" % (sum(total.values()),
                                             ", ".join("%s %d" % kv for kv in sorted(total.items())), slow_total))
    with open(os.path.join(args.out, "sweep.json"), "w", encoding="utf-8") as f:
        json.dump(reports, f, indent=1)


if __name__ == "__main__":
    sys.exit(main())
