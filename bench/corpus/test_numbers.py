#!/usr/bin/python3
"""The references' number texts, held to cases worked out by hand: a reference that rounds a value
its own way hides a wrong value in the program, or shows a false difference."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpuslib  # noqa: E402
import ref_access  # noqa: E402

SINGLES = [  # a single's exact value, its text
    (2583.209228515625, "2583.2092"),  # 2583.209 is another single
    (0.003588959341868758, "0.0035889593"),
    (1.100000023841858, "1.1"),
    (-8540981760.0, "-8540981760"),  # whole: plain form, exact digits
    (309840992.0, "309840992"),
    (1.274129968198423e-10, "1.27413E-10"),
    (-2854276.25, "-2854276.2"),  # a tie takes the even digit
    (1.401298464324817e-45, "1E-45"),  # the least single
    (3.4028234663852886e38, "3.4028235E+38"),
    (0.0, "0"),
]

DECIMALS = [  # jackcess's BigDecimal text, the program's
    ("56505085819.424791296572280180", "56505085819.42479129657228018"),
    ("0.0000002787019289824216980830", "0.000000278701928982421698083"),
    ("-0.0784734499180612994241100748", "-0.0784734499180612994241100748"),
    ("50.325000", "50.325"),
    ("1200", "1200"),
    ("-0.000", "0"),
]

ACCESS = [  # a jackcess cell and its column's type, the text compared
    (["n", "102030405060.654321"], "NUMERIC", "102030405060.654321"),
    (["n", "922337203685477.5807"], "MONEY", "922337203685478"),  # a Currency as a double
    (["f", "43.31999969482422"], "FLOAT", "43.32"),
    (["i", "255"], "BYTE", "255"),
]


def main():
    failures = []
    for value, text in SINGLES:
        if corpuslib.single_text(value) != text:
            failures.append("single %r: %r, expected %r" % (value, corpuslib.single_text(value), text))
    for given, text in DECIMALS:
        if corpuslib.decimal_text(given) != text:
            failures.append("decimal %r: %r, expected %r" % (given, corpuslib.decimal_text(given), text))
    for cell, column, text in ACCESS:
        if ref_access.jackcess_text(cell, column) != text:
            failures.append("%s %r: %r, expected %r" % (column, cell, ref_access.jackcess_text(cell, column), text))
    for failure in failures:
        print(failure)
    print("%d of %d cases wrong" % (len(failures), len(SINGLES) + len(DECIMALS) + len(ACCESS)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
