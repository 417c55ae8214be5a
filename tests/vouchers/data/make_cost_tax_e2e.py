#!/usr/bin/python3
"""Writes cost-tax-e2e.xls, the workbook of the unattended end-to-end test of the debit/credit-note,
cost-centre and service-tax/TDS vouchers, beside this script.

    /usr/bin/python3 tests/vouchers/data/make_cost_tax_e2e.py

Sheets, posted in this order by the test:
  LEDGERS            the ledgers the vouchers name (Cash comes with every company)
  COSTCENTRES        two branches in the Primary Cost Category
  CRDRNOTES          keyed by ID: a credit note against a sales bill; a debit note that does not balance (refused)
  COSTTRANSACTIONS   rent split over both branches and paid by cheque; a voucher naming a cost centre
                     the server does not know (refused)
  STTDSTRANSACTIONS  a contractor's bill with TDS, split over both branches; a service bill with service tax; a bill that does
                     not balance (refused)

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
        ['Joshi Electricals', 'Sundry Debtors'],
        ['Sales Returns', 'Sales Accounts'],
        ['Office Rent', 'Indirect Expenses'],
        ['Canara Bank - CA 1180', 'Bank Accounts'],
        ['Contract Charges', 'Indirect Expenses'],
        ['Patel Constructions', 'Sundry Creditors'],
        ['TDS on Contracts', 'Duties & Taxes'],
        ['Advertising', 'Indirect Expenses'],
        ['Service Tax Payable', 'Duties & Taxes'],
        ['Media Ads Pvt Ltd', 'Sundry Creditors'],
    ],
)

COST_CENTRES = (
    ['NAME', 'PARENT', 'CATEGORY'],
    [
        ['Mumbai Branch', 'Primary', ''],
        ['Pune Branch', 'Primary', ''],
    ],
)

D1 = datetime.date(2024, 4, 10)
D2 = datetime.date(2024, 4, 12)


def numbered(columns, rows):
    """The loader reads a voucher sheet in the order of its SRNO column. A row shorter than the columns
    ends in blank cells."""
    return ['SRNO'] + columns, [[n] + row + [None] * (len(columns) - len(row)) for n, row in enumerate(rows, 1)]


CRDRNOTES = numbered(
    ['ID', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD', 'ADJNAME',
     'ADJAMOUNT'],
    [
        ['N1', 'Credit Note', 'CN-1', D1, 'JE/101', 'Sales Returns', 1180, None, 'Goods returned', None, None, None],
        ['N1', 'Credit Note', 'CN-1', D1, 'JE/101', 'Joshi Electricals', None, '1,180', None, 'Agst Ref', 'JE/101',
         1180],
        ['N2', 'Debit Note', 'DN-1', D2, None, 'Joshi Electricals', 500, None, 'Does not balance', None, None, None],
        ['N2', 'Debit Note', 'DN-1', D2, None, 'Sales Returns', None, 400, None, None, None, None],
    ],
)

COST_COLUMNS = ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD',
                'ADJNAME', 'ADJDATE', 'ADJAMOUNT', 'COSTCATEGORY', 'COSTCENTRE', 'COSTAMOUNT', 'BankAmount',
                'InstrumentNumber', 'BankName']
COSTTRANSACTIONS = numbered(
    COST_COLUMNS,
    [
        ['Payment', 'P-1', D1, None, 'Office Rent', 30000, None, 'Rent for April', None, None, None, None, None,
         'Mumbai Branch', 18000, None, None, None],
        ['Payment', 'P-1', D1, None, None, None, None, None, None, None, None, None, None, 'Pune Branch', 12000,
         None, None, None],
        ['Payment', 'P-1', D1, None, 'Canara Bank - CA 1180', None, 30000, None, None, None, None, None, None, None,
         None, 30000, '004518', 'Canara Bank'],
        ['Payment', 'P-2', D2, None, 'Office Rent', 5000, None, 'No such branch', None, None, None, None, None,
         'Nagpur Branch', 5000, None, None, None],
        ['Payment', 'P-2', D2, None, 'Cash', None, 5000, None, None, None, None, None, None, None, None, None, None,
         None],
    ],
)

TAX_COLUMNS = ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD',
               'ADJNAME', 'ADJAMOUNT', 'SERVICETAXLEDGER', 'ASSESSABLEAMT', 'SERVICETAX', 'CESS', 'SECCESS',
               'TDSLEDGER', 'TDSRATE', 'ISSPECIALRATE', 'COSTCENTRE', 'COSTAMOUNT']
STTDSTRANSACTIONS = numbered(
    TAX_COLUMNS,
    [
        ['Journal', 'J-1', D1, 'PC/77', 'Contract Charges', 50000, None, 'Site work, TDS 2%', None, None, None,
         None, None, None, None, None, None, None, None, 'Mumbai Branch', 30000],
        ['Journal', 'J-1', D1, None, None, None, None, None, None, None, None, None, None, None, None, None, None,
         None, None, 'Pune Branch', 20000],
        ['Journal', 'J-1', D1, None, 'Patel Constructions', None, 49000, None, 'New Ref', 'PC/77', 49000, None,
         None, None, None, None, 'TDS on Contracts', None, 'No'],
        ['Journal', 'J-1', D1, None, 'TDS on Contracts', None, 1000, None, None, None, None, None, None, None,
         None, None, None, None, None],
        ['Journal', 'J-2', D2, 'MA/12', 'Advertising', 10000, None, 'Hoardings for April', 'New Ref', 'MA/12',
         11236, 'Service Tax Payable', 10000, 1200, 24, 12, None, None, None],
        ['Journal', 'J-2', D2, None, 'Service Tax Payable', 1236, None, None, None, None, None, None, None, None,
         None, None, None, None, None],
        ['Journal', 'J-2', D2, None, 'Media Ads Pvt Ltd', None, 11236, None, None, None, None, None, None, None,
         None, None, None, None, None],
        ['Journal', 'J-3', D2, None, 'Advertising', 700, None, 'Does not balance', None, None, None, None, None,
         None, None, None, None, None, None],
        ['Journal', 'J-3', D2, None, 'Cash', None, 600, None, None, None, None, None, None, None, None, None, None,
         None, None],
    ],
)

SHEETS = [('LEDGERS', LEDGERS), ('COSTCENTRES', COST_CENTRES), ('CRDRNOTES', CRDRNOTES),
          ('COSTTRANSACTIONS', COSTTRANSACTIONS), ('STTDSTRANSACTIONS', STTDSTRANSACTIONS)]


def main():
    write_workbook(os.path.join(HERE, 'cost-tax-e2e.xls'), SHEETS)


if __name__ == '__main__':
    main()
