#!/usr/bin/python3
"""Writes formats-e2e.xls, the workbook the end-to-end test of the format-driven vouchers posts, beside
this script.

    /usr/bin/python3 tests/vouchers/data/make_formats_e2e.py

Sheets, posted in this order by the test (which first writes the formats "TRANSACTIONSGST" and
"PETTYCASH" into the program's local database):
  LEDGERS          the ledgers the vouchers name, in both companies (Cash comes with every company)
  TRANSACTIONSGST  a GST sale and a purchase over several rows; a sale to the other company
                   ("COMPANYNAME"); a sale naming a tax ledger the server does not know, refused
  PETTYCASH        cash payments of a user's own format, keyed by its number and date columns; one
                   naming a ledger the server does not know, refused

Needs xlwt (Debian: python3-xlwt). Commit what it writes, and the expected files in expected/ when the
fixture changes.
"""
import datetime
import os

import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'support'))
from xls_fixture import write_workbook  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
MEHTA = 'Mehta Exports'

LEDGERS = (
    ['NAME', 'COMPANYNAME', 'PARENT'],
    [
        ['Joshi Electricals', None, 'Sundry Debtors'],
        ['Kulkarni Steels', None, 'Sundry Creditors'],
        ['Sales 18%', None, 'Sales Accounts'],
        ['Purchase 18%', None, 'Purchase Accounts'],
        ['Output CGST 9%', None, 'Duties & Taxes'],
        ['Output SGST 9%', None, 'Duties & Taxes'],
        ['Input CGST 9%', None, 'Duties & Taxes'],
        ['Input SGST 9%', None, 'Duties & Taxes'],
        ['Conveyance', None, 'Indirect Expenses'],
        ['Staff Welfare', None, 'Indirect Expenses'],
        ['Desai Traders', MEHTA, 'Sundry Debtors'],
        ['Sales 18%', MEHTA, 'Sales Accounts'],
    ],
)

D1 = datetime.date(2024, 4, 1)
D2 = datetime.date(2024, 4, 3)
# Amounts signed: a debit is negative. The loader fills VCHTYPE, VCHNO and VCHDATE down.
TRANSACTIONSGST = (
    ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'LEDGER', 'AMOUNT', 'NARRATION', 'COMPANYNAME'],
    [
        ['Sales', 'S-1', D1, 'Joshi Electricals', -11800, 'Switchgear', None],
        [None, None, None, 'Sales 18%', 10000, None, None],
        [None, None, None, 'Output CGST 9%', 900, None, None],
        [None, None, None, 'Output SGST 9%', 900, None, None],
        ['Purchase', 'P-1', D2, 'Purchase 18%', -5000, 'Steel sections', None],
        [None, None, None, 'Input CGST 9%', -450, None, None],
        [None, None, None, 'Input SGST 9%', -450, None, None],
        [None, None, None, 'Kulkarni Steels', 5900, None, None],
        ['Sales', 'S-2', D2, 'Desai Traders', -2360, 'Export order', MEHTA],
        [None, None, None, 'Sales 18%', 2360, None, MEHTA],
        ['Sales', 'S-3', D2, 'Joshi Electricals', -1180, 'Wrong tax ledger', None],
        [None, None, None, 'Output UTGST 9%', 1180, None, None],
    ],
)
TRANSACTIONSGST = (TRANSACTIONSGST[0], [[n] + row for n, row in enumerate(TRANSACTIONSGST[1], start=1)])

# Not a repaired voucher table: every cell is written out, dates as text.
PETTYCASH = (
    ['VOUCHERNO', 'PAIDON', 'NAME', 'AMOUNT', 'NOTE'],
    [
        ['PC-1', '05-04-2024', 'Conveyance', -450, 'Auto fares'],
        ['PC-1', '05-04-2024', 'Cash', 450, 'Auto fares'],
        ['PC-2', '05-04-2024', 'Staff Welfare', -1200, 'Tea and snacks'],
        ['PC-2', '05-04-2024', 'Cash', 1200, 'Tea and snacks'],
        ['PC-3', '06-04-2024', 'Courier Charges', -300, 'No such ledger'],
        ['PC-3', '06-04-2024', 'Cash', 300, 'No such ledger'],
    ],
)

SHEETS = [('LEDGERS', LEDGERS), ('TRANSACTIONSGST', TRANSACTIONSGST), ('PETTYCASH', PETTYCASH)]


def main():
    write_workbook(os.path.join(HERE, 'formats-e2e.xls'), SHEETS)


if __name__ == '__main__':
    main()
