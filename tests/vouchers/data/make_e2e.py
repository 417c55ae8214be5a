#!/usr/bin/python3
"""Writes e2e.xls and e2e-by-id.xls, the workbooks the unattended voucher end-to-end test posts, beside
this script.

    /usr/bin/python3 tests/vouchers/data/make_e2e.py

Sheets, posted in this order by the test:
  LEDGERS       the ledgers the vouchers name (Cash comes with every company)
  TRANSACTIONS  a payment over two rows; a receipt with a bill on a further row without a ledger and
                a cheque on the bank line; a voucher to the other company ("COMPANYNAME"); an
                unbalanced journal and one naming a ledger the server does not know, both refused
e2e-by-id.xls holds the same LEDGERS, and a TRANSACTIONS sheet whose vouchers are keyed by an ID
column, one of them refused.

Needs xlwt (Debian: python3-xlwt). Commit what it writes, and the expected files in expected/ when the
fixture changes.
"""
import datetime
import os

import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'support'))
from xls_fixture import write_workbook  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

LEDGERS = (
    ['NAME', 'COMPANYNAME', 'PARENT'],
    [
        ['Office Rent', None, 'Indirect Expenses'],
        ['Joshi Electricals', None, 'Sundry Debtors'],
        ['Canara Bank - CA 1180', None, 'Bank Accounts'],
        ['Freight Outward', 'Mehta Exports', 'Indirect Expenses'],
    ],
)

D1 = datetime.date(2024, 4, 1)
D2 = datetime.date(2024, 4, 5)
TRANSACTIONS = (
    ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJNAME', 'ADJAMOUNT',
     'COMPANYNAME', 'BankAmount', 'InstrumentNumber', 'BankName'],
    [
        ['Payment', '1', D1, 'R-1', 'Office Rent', 25000, None, 'Rent for April', None, None, None, None, None,
         None],
        ['Payment', '1', D1, 'R-1', 'Cash', None, 25000, 'Rent for April', None, None, None, None, None, None],
        ['Receipt', '2', D2, None, 'Joshi Electricals', None, '1,05,000', 'Bills JE/101 and JE/117', 'JE/101',
         45000, None, None, None, None],
        ['Receipt', '2', D2, None, None, None, None, None, 'JE/117', 60000, None, None, None, None],
        ['Receipt', '2', D2, None, 'Canara Bank - CA 1180', '1,05,000', None, None, None, None, None, 105000,
         '004512', 'Canara Bank'],
        ['Payment', '3', D2, None, 'Freight Outward', 1800, None, 'Freight', None, None, 'Mehta Exports', None,
         None, None],
        ['Payment', '3', D2, None, 'Cash', None, 1800, 'Freight', None, None, 'Mehta Exports', None, None, None],
        ['Journal', '4', D2, None, 'Office Rent', 500, None, 'Does not balance', None, None, None, None, None,
         None],
        ['Journal', '4', D2, None, 'Cash', None, 400, 'Does not balance', None, None, None, None, None, None],
        ['Payment', '5', D2, None, 'Staff Welfare', 300, None, 'No such ledger', None, None, None, None, None,
         None],
        ['Payment', '5', D2, None, 'Cash', None, 300, 'No such ledger', None, None, None, None, None, None],
    ],
)

# The loader reads a voucher sheet in the order of its SRNO column.
TRANSACTIONS = (TRANSACTIONS[0], [[n] + row for n, row in enumerate(TRANSACTIONS[1], start=1)])

# Keyed by its ID column: a payment, then a journal the server refuses, its rows apart.
BY_ID = (
    ['SRNO', 'ID', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION'],
    [
        [1, 'P-7', 'Payment', '7', D2, None, 'Office Rent', 900, None, 'Keyed by its ID'],
        [2, 'P-7', 'Payment', '7', D2, None, 'Cash', None, 900, None],
        [3, 'J-8', 'Journal', '8', D2, None, 'Office Rent', 700, None, 'Refused: Petty Cash is no ledger'],
        [4, 'J-8', 'Journal', '8', D2, None, 'Petty Cash', None, 700, None],
    ],
)

WORKBOOKS = {
    'e2e.xls': [('LEDGERS', LEDGERS), ('TRANSACTIONS', TRANSACTIONS)],
    'e2e-by-id.xls': [('LEDGERS', LEDGERS), ('TRANSACTIONS', BY_ID)],
}


def main():
    for file, sheets in WORKBOOKS.items():
        write_workbook(os.path.join(HERE, file), sheets)


if __name__ == '__main__':
    main()
