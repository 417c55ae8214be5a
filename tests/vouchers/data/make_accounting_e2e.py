#!/usr/bin/python3
"""Writes accounting-e2e.xls, the workbook the unattended end-to-end test of the TDS, service-tax,
quick and bank-statement vouchers posts, beside this script.

    /usr/bin/python3 tests/vouchers/data/make_accounting_e2e.py

Sheets, posted in this order by the test:
  LEDGERS                 the ledgers the vouchers name (Cash comes with every company)
  TDSTRANSACTIONS         a contractor's bill, a professional's bill at a special rate; one refused
  SERVICETAXTRANSACTIONS  a lawyer's bill with its service-tax bill; one refused
  QUICKTRANSACTIONS       cash expenses (one credit side first, one voucher of two rows), a receipt by
                          cheque; one refused
  BANKSTMT                a withdrawal, a deposit, a contra of two rows, one without an amount and one
                          refused

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
    ['NAME', 'PARENT'],
    [
        ['Contract Charges', 'Indirect Expenses'],
        ['Ravi Builders', 'Sundry Creditors'],
        ['TDS on Contracts', 'Duties & Taxes'],
        ['Professional Fees', 'Indirect Expenses'],
        ['Anita Rao', 'Sundry Creditors'],
        ['TDS on Professional Fees', 'Duties & Taxes'],
        ['Legal Charges', 'Indirect Expenses'],
        ['Service Tax Input', 'Duties & Taxes'],
        ['Kapoor Associates', 'Sundry Creditors'],
        ['Conveyance', 'Indirect Expenses'],
        ['Printing & Stationery', 'Indirect Expenses'],
        ['Joshi Electricals', 'Sundry Debtors'],
        ['Canara Bank - CA 1180', 'Bank Accounts'],
        ['Bank Charges', 'Indirect Expenses'],
    ],
)

D1 = datetime.date(2024, 5, 2)
D2 = datetime.date(2024, 5, 6)
D3 = datetime.date(2024, 5, 9)

TDS = (
    ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD', 'ADJNAME',
     'ADJAMOUNT', 'TDSLEDGER', 'TDSRATE', 'ISSPECIALRATE'],
    [
        ['Journal', '1', D1, 'RB/24', 'Contract Charges', 50000, None, 'Site work, May', None, None, None, None,
         None, None],
        ['Journal', '1', D1, None, 'Ravi Builders', None, 49000, None, 'New Ref', 'RB/24', 49000,
         'TDS on Contracts', 2, 'No'],
        ['Journal', '1', D1, None, 'TDS on Contracts', None, 1000, None, None, None, None, None, None, None],
        ['Journal', '2', D2, 'AR/7', 'Professional Fees', 30000, None, 'Audit fees', None, None, None, None, None,
         None],
        ['Journal', '2', D2, None, 'Anita Rao', None, 29400, None, 'New Ref', 'AR/7', 29400,
         'TDS on Professional Fees', 2, 'Yes'],
        ['Journal', '2', D2, None, 'TDS on Professional Fees', None, 600, None, None, None, None, None, None,
         None],
        ['Journal', '3', D2, None, 'Consultancy', 1000, None, 'No such ledger', None, None, None, None, None, None],
        ['Journal', '3', D2, None, 'Anita Rao', None, 1000, None, None, None, None, None, None, None],
    ],
)

SERVICE_TAX = (
    ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD', 'ADJNAME',
     'ADJAMOUNT', 'SERVICETAXLEDGER', 'ASSESSABLEAMT', 'SERVICETAXRATE', 'SERVICETAX', 'CESS', 'SECCESS'],
    [
        ['Journal', '11', D1, 'KA/31', 'Legal Charges', 10000, None, 'Legal opinion', None, None, None, None, 0,
         None, None, None, None],
        ['Journal', '11', D1, None, 'Service Tax Input', 1236, None, None, None, None, None, None, 0, None, None,
         None, None],
        ['Journal', '11', D1, None, 'Kapoor Associates', None, 11236, None, 'New Ref', 'KA/31', 11236,
         'Service Tax Input', 10000, 12.36, 1200, 24, 12],
        ['Journal', '12', D2, None, 'Courier Charges', 500, None, 'No such ledger', None, None, None, None, 0,
         None, None, None, None],
        ['Journal', '12', D2, None, 'Kapoor Associates', None, 500, None, None, None, None, None, 0, None, None,
         None, None],
    ],
)

QUICK = (
    ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'CRLEDGER', 'DRLEDGER', 'AMOUNT', 'NARRATION', 'FirstSide',
     'BankAmount', 'InstrumentNumber', 'BankName'],
    [
        ['Payment', '21', D1, None, 'Cash', 'Conveyance', 450, 'Auto fares', None, None, None, None],
        ['Payment', '22', D1, None, 'Cash', 'Printing & Stationery', '1,200', 'Letterheads', 'Cr', None, None,
         None],
        ['Payment', '23', D2, None, 'Cash', 'Conveyance', 200, 'Petty cash', None, None, None, None],
        ['Payment', '23', D2, None, 'Cash', 'Printing & Stationery', 300, 'Petty cash', None, None, None, None],
        ['Receipt', '24', D3, None, 'Joshi Electricals', 'Canara Bank - CA 1180', 5000, 'Cheque received', None,
         5000, '118802', 'State Bank'],
        ['Payment', '25', D3, None, 'Cash', 'Courier Charges', 150, 'No such ledger', None, None, None, None],
    ],
)

BANK = (
    ['VCHTYPE', 'VCHNO', 'VCHDATE', 'BANKDATE', 'BANK', 'LEDGER', 'WITHDRAWAL', 'DEPOSIT', 'NARRATION'],
    [
        ['Payment', '31', D1, D2, 'Canara Bank - CA 1180', 'Bank Charges', 250, None, 'Service charges'],
        ['Receipt', '32', D2, D2, 'Canara Bank - CA 1180', 'Joshi Electricals', None, 15000, 'NEFT from Joshi'],
        ['Contra', '33', D3, D3, 'Canara Bank - CA 1180', 'Cash', 1000, None, 'Cash withdrawn, part returned'],
        ['Contra', '33', D3, D3, 'Canara Bank - CA 1180', 'Cash', None, 400, None],
        ['Payment', '34', D3, D3, 'Canara Bank - CA 1180', 'Bank Charges', None, None, 'No amount'],
        ['Payment', '35', D3, D3, 'Canara Bank - CA 1180', 'Courier Charges', 100, None, 'No such ledger'],
    ],
)


def numbered(table):
    """The loader reads a voucher sheet in the order of its SRNO column."""
    columns, rows = table
    return ['SRNO'] + columns, [[n] + row for n, row in enumerate(rows, start=1)]


SHEETS = [('LEDGERS', LEDGERS), ('TDSTRANSACTIONS', numbered(TDS)),
          ('SERVICETAXTRANSACTIONS', numbered(SERVICE_TAX)), ('QUICKTRANSACTIONS', numbered(QUICK)),
          ('BANKSTMT', numbered(BANK))]


def main():
    write_workbook(os.path.join(HERE, 'accounting-e2e.xls'), SHEETS)


if __name__ == '__main__':
    main()
