#!/usr/bin/python3
"""Writes e2e.xls, the workbook the unattended end-to-end test posts, beside this script.

    /usr/bin/python3 tests/masters/data/make_e2e.py

Sheets, posted in this order by the test:
  UNITS       simple units ("yes" in lower case among them) and a compound unit; one the server refuses
  STOCKITEMS  an item whose opening batches run over three rows (a manufacturing date as a date cell,
              an opening value typed with thousands separators), a plain item, one with an unknown unit
  LEDGERS     a company per row ("COMPANYNAME"), bills on further rows whose NAME is blank or blanks
              only, bank details, amounts typed with thousands separators, and a ledger under a group
              that does not exist

Needs xlwt (Debian: python3-xlwt). Commit what it writes, and the expected files in expected/ when the
fixture changes.
"""
import datetime
import os

import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'support'))
from xls_fixture import write_workbook  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

UNITS = (
    ['NAME', 'ISSIMPLEUNIT', 'ORIGINALNAME', 'DECIMALPLACES', 'BASEUNITS', 'ADDITIONALUNITS', 'CONVERSION'],
    [
        ['Nos', 'Yes', 'Numbers', 0, None, None, None],
        ['kg', 'yes', 'Kilograms', 3, None, None, None],
        ['Box', 'Yes', 'Boxes', 0, None, None, None],
        ['Box of 10 Nos', ' no ', None, None, 'Box', 'Nos', 10],
        ['Drum of 200 ltr', 'No', None, None, 'Drum', 'ltr', 200],
    ],
)

STOCKITEMS = (
    ['NAME', 'PARENT', 'CATEGORY', 'BASEUNITS', 'GODOWNNAME', 'BATCHNAME', 'OPENINGBALANCE', 'OPENINGRATE',
     'OPENINGVALUE', 'MFDON'],
    [
        ['Hex Bolt M8 x 40', 'Primary', None, 'Nos', 'Main Location', 'HB-0324', 1200, 4.5, '5,400',
         datetime.date(2024, 3, 15)],
        [None, None, None, None, 'Main Location', 'HB-0424', 800, 4.75, 3800, datetime.date(2024, 4, 2)],
        [None, None, None, None, 'Main Location', 'HB-0524', 500, 4.8, 2400, None],
        ['GI Wire 12 SWG', 'Primary', None, 'kg', None, None, 350.5, 92, 32246, None],
        ['Copper Lugs 6mm', 'Primary', None, 'pkt', None, None, None, None, None, None],
    ],
)

LEDGERS = (
    ['NAME', 'COMPANYNAME', 'PARENT', 'STATE', 'OPENINGBALANCE', 'OPENINGBILLDATE', 'OPENINGNAME',
     'OPENINGCREDITPERIOD', 'PAYMENTFAVOURING', 'BANKNAME', 'ACCOUNTNUMBER', 'IFSCCODE', 'TRANSACTIONNAME',
     'CHEQUECROSSCOMMENT', 'SETASDEFAULT', 'DEFAULTTRANSACTIONTYPE'],
    [
        ['Joshi Electricals', None, 'Sundry Debtors', 'Maharashtra', 45000, '1-Apr-2024', 'JE/101', '30 Days',
         None, None, None, None, None, None, None, None],
        [None, None, None, None, '1,05,000', '10-Apr-2024', 'JE/117', '30 Days',
         None, None, None, None, None, None, None, None],
        ['   ', None, None, None, 12500.5, '18-Apr-2024', 'JE/121', '15 Days',
         None, None, None, None, None, None, None, None],
        ['Reddy Steel Traders', 'Mehta Exports', 'Sundry Creditors', 'Telangana', -72500, '3-Apr-2024',
         'RST/88', '60 Days', 'Reddy Steel Traders', 'Axis Bank', '917020012345678', 'UTIB0000123', 'NEFT',
         None, 'Yes', 'NEFT'],
        ['Canara Bank - CA 1180', None, 'Bank Accounts', None, '2,50,000.75', None, None, None,
         'Sharma Traders', 'Canara Bank', '0118201001180', 'CNRB0000118', 'RTGS', 'A/c Payee', 'Yes', 'RTGS'],
        ['Kumar Agencies', None, 'Debtors - South', 'Karnataka', 15000, None, None, None, None, None, None, None,
         None, None, None, None],
    ],
)

SHEETS = [('UNITS', UNITS), ('STOCKITEMS', STOCKITEMS), ('LEDGERS', LEDGERS)]


def main():
    write_workbook(os.path.join(HERE, 'e2e.xls'), SHEETS)


if __name__ == '__main__':
    main()
