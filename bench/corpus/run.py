#!/usr/bin/python3
"""Runs the program's dump and a reference over the same paths and compares them:
  run.py --dump BUILD/bench/corpus/quibo-corpus-dump --reference csv|xlrd|openpyxl|jackcess|mdbexport
         [--out FOLDER] [--quiet] [--expect-identical] PATH...
The two outputs are kept in FOLDER (program.jsonl, <reference>.jsonl, <reference>.txt with the
comparison, <reference>.json with every difference) when given, else in a temporary folder.
"""

import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
REFERENCES = {
    "csv": ["ref_csv.py"],
    "xlrd": ["ref_xlrd.py"],
    "openpyxl": ["ref_openpyxl.py"],
    "jackcess": ["ref_access.py", "--jackcess"],
    "mdbexport": ["ref_access.py", "--mdb-export"],
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dump", required=True)
    parser.add_argument("--reference", required=True, choices=sorted(REFERENCES))
    parser.add_argument("--out")
    parser.add_argument("--quiet", action="store_true")
    parser.add_argument("--expect-identical", action="store_true")
    parser.add_argument("--reuse-program", action="store_true",
                        help="keep an existing program.jsonl in --out rather than dump again")
    parser.add_argument("paths", nargs="+")
    args = parser.parse_args()

    out = args.out or tempfile.mkdtemp(prefix="quibo-corpus-")
    os.makedirs(out, exist_ok=True)
    program = os.path.join(out, "program.jsonl")
    if not (args.reuse_program and os.path.exists(program)):
        with open(program, "w", encoding="utf-8") as f:
            subprocess.run([args.dump] + args.paths, stdout=f, check=False)
    script = REFERENCES[args.reference]
    reference = os.path.join(out, args.reference + ".jsonl")
    with open(reference, "w", encoding="utf-8") as f:
        subprocess.run([sys.executable, os.path.join(HERE, script[0])] + script[1:] + args.paths,
                       stdout=f, check=True)
    command = [sys.executable, os.path.join(HERE, "compare.py"), program, reference,
               "--json", os.path.join(out, args.reference + ".json")]
    if args.quiet:
        command.append("--quiet")
    if args.expect_identical:
        command.append("--expect-identical")
    result = subprocess.run(command, capture_output=True, text=True)
    with open(os.path.join(out, args.reference + ".txt"), "w", encoding="utf-8") as f:
        f.write(result.stdout)
    sys.stdout.write(result.stdout)
    sys.stderr.write(result.stderr)
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
