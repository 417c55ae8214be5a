#!/usr/bin/python3
"""Writes stock-e2e.xls, the workbook of the unattended end-to-end test of stock journals, physical stock,
voucher registers and attendance, beside this script.

    /usr/bin/python3 tests/vouchers/data/make_stock_e2e.py

Sheets, posted in this order by the test:
  UNITS, GODOWNS, STOCKITEMS, LEDGERS   the masters the vouchers name
  STOCKJV          a godown transfer with batches (out of one godown, into another); one naming an item the
                   server does not know (refused); one whose direction is not IN or OUT (never sent)
  PHYSICALSTOCK    a stock count over two godowns; one in a godown the server does not know (refused)
  VOUCHERREGISTER  with VOUCHERREGISTERMap: a sale with output VAT; one to an unknown party (refused)
  SALEREGISTER     with SALEREGISTERMap: an export sale in US dollars (every amount in the foreign form)
  ATTENDANCE       two employees' attendance; one of a voucher type the server does not know (refused)

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
    ['NAME', 'ISSIMPLEUNIT', 'ORIGINALNAME', 'DECIMALPLACES'],
    [['kg', 'Yes', 'Kilograms', 3], ['Nos', 'Yes', 'Numbers', 0]],
)
GODOWNS = (
    ['NAME', 'PARENT', 'HASNOSTOCK'],
    [['Main Store', 'Primary', 'No'], ['Yard', 'Primary', 'No']],
)
STOCKITEMS = (
    ['NAME', 'PARENT', 'CATEGORY', 'BASEUNITS', 'ISBATCHWISEON'],
    [['Steel Rod', 'Primary', None, 'kg', 'Yes'], ['Cement Bag', 'Primary', None, 'Nos', 'No']],
)
LEDGERS = (
    ['NAME', 'PARENT'],
    [['Joshi Electricals', 'Sundry Debtors'], ['Sales Account', 'Sales Accounts'], ['Output VAT', 'Duties & Taxes']],
)

D1 = datetime.date(2024, 4, 10)
D2 = datetime.date(2024, 4, 12)
STOCKJV = (
    ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'ITEMNAME', 'NARRATION', 'QUANTITY', 'UNIT', 'RATE', 'DIRECTION',
     'AMOUNT', 'GODOWNNAME', 'BATCHNAME', 'BATCHQUANTITY', 'BATCHUNIT', 'BATCHAMOUNT'],
    [
        ['Stock Journal', 'SJ-1', D1, 'T-1', 'Steel Rod', 'Main Store to Yard', 100, 'kg', 50, 'OUT', 5000,
         'Main Store', 'B-1', 60, 'kg', 3000],
        ['Stock Journal', 'SJ-1', D1, None, None, None, None, None, None, None, None, 'Main Store', 'B-2', 40, 'kg',
         2000],
        ['Stock Journal', 'SJ-1', D1, None, 'Steel Rod', None, 100, 'kg', 50, 'in', 5000, 'Yard', 'B-1', 100, 'kg',
         5000],
        ['Stock Journal', 'SJ-2', D1, None, 'Copper Wire', 'No such item', 10, 'kg', 700, 'IN', 7000, None, None,
         None, None, None],
        ['Stock Journal', 'SJ-3', D1, None, 'Cement Bag', 'Direction mistyped', 5, 'Nos', 380, 'INWARD', 1900, None,
         None, None, None, None],
    ],
)
PHYSICALSTOCK = (
    ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'ITEMNAME', 'NARRATION', 'GODOWNNAME', 'BATCHNAME', 'MFDDATE',
     'BATCHQUANTITY', 'BATCHUNIT'],
    [
        ['Physical Stock', 'PS-1', D2, 'C-1', 'Steel Rod', 'Month-end count', 'Main Store', 'B-2', '01-03-2024',
         38, 'kg'],
        ['Physical Stock', 'PS-1', D2, 'C-1', None, None, 'Yard', 'B-1', None, 100, 'kg'],
        ['Physical Stock', 'PS-1', D2, 'C-1', 'Cement Bag', None, 'Main Store', None, None, 140, 'Nos'],
        ['Physical Stock', 'PS-2', D2, 'C-2', 'Cement Bag', 'No such godown', 'Back Room', None, None, 12, 'Nos'],
    ],
)
REGISTER = ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'NARRATION', 'ADJMETHOD', 'ADJNAME', 'ADJDATE',
            'ADJAMOUNT', 'TOTALAMOUNT', 'SALES']
VOUCHERREGISTER = (
    REGISTER + ['VAT'],
    [
        ['Sales', 'S-1', D1, 'R-1', 'Joshi Electricals', 'Switchgear', 'New Ref', 'INV-1', '30 Days', 1180, 1180,
         1000, 180],
        ['Sales', 'S-2', D1, 'R-2', 'Verma Lighting', 'Unknown party', 'New Ref', 'INV-2', '30 Days', 590, 590,
         500, 90],
    ],
)
VOUCHERREGISTERMAP = (
    ['ColumnName', 'LedgerName', 'LedgerSign', 'Order', 'VATClassification', 'VATRate', 'AssessableColumn'],
    [
        ['TOTALAMOUNT', 'Auto', 'Dr', 1, None, None, None],
        ['SALES', 'Sales Account', 'Cr', 2, None, None, None],
        ['VAT', 'Output VAT', 'Cr', 3, 'Output VAT @ 18%', 18, 'SALES'],
    ],
)
SALEREGISTER = (
    REGISTER + ['VCHCURRENCY', 'BASECURRENCY', 'EXCHANGERATE'],
    [['Sales', 'E-1', D2, 'EXP-1', 'Joshi Electricals', 'Export order', 'New Ref', 'EXP-1', '60 Days', 100, 100,
      100, 'USD', 'INR', 83]],
)
SALEREGISTERMAP = (
    ['ColumnName', 'LedgerName', 'LedgerSign', 'Order'],
    [['TOTALAMOUNT', 'Auto', 'Dr', 1], ['SALES', 'Sales Account', 'Cr', 2]],
)
ATTENDANCE = (
    ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'NARRATION', 'EMPLOYEE', 'ATTENDANCETYPE', 'VALUE'],
    [
        ['Attendance', 'A-1', D2, None, 'April', 'Ravi Kumar', 'Present', 26],
        ['Attendance', 'A-1', D2, None, 'April', 'Sita Devi', 'Present', 24.5],
        ['Atendance', 'A-2', D2, None, 'Type mistyped', 'Ravi Kumar', 'Present', 1],
    ],
)


def numbered(table):
    """The loader reads a voucher sheet in the order of its SRNO column."""
    columns, rows = table
    return ['SRNO'] + columns, [[n] + row for n, row in enumerate(rows, start=1)]


SHEETS = [('UNITS', UNITS), ('GODOWNS', GODOWNS), ('STOCKITEMS', STOCKITEMS), ('LEDGERS', LEDGERS),
          ('STOCKJV', numbered(STOCKJV)), ('PHYSICALSTOCK', numbered(PHYSICALSTOCK)),
          ('VOUCHERREGISTER', VOUCHERREGISTER), ('VOUCHERREGISTERMap', VOUCHERREGISTERMAP),
          ('SALEREGISTER', SALEREGISTER), ('SALEREGISTERMap', SALEREGISTERMAP), ('ATTENDANCE', numbered(ATTENDANCE))]


def main():
    write_workbook(os.path.join(HERE, 'stock-e2e.xls'), SHEETS)


if __name__ == '__main__':
    main()
