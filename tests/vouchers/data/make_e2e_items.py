#!/usr/bin/python3
"""Writes e2e-items.xls, the workbook of the unattended end-to-end test of the item vouchers, beside
this script.

    /usr/bin/python3 tests/vouchers/data/make_e2e_items.py

Sheets, posted in this order by the test:
  UNITS, STOCKITEMS, LEDGERS  the masters the vouchers name (Main Location comes with every company)
  VATTRANSACTIONSMC           an export invoice in dollars at Rs 83.25 with two item lines and a bill; one
                              naming a stock item the server does not know, refused
  ORDERS                      a sales order with consignee, addresses, order number and terms; one to a
                              godown the server does not know, refused
  NOTES                       a delivery note against that order, keyed by ID; one naming an unknown stock
                              item, refused on both its rows

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
    [['Nos', 'Yes', 'Numbers', 0]],
)

STOCKITEMS = (
    ['NAME', 'PARENT', 'CATEGORY', 'BASEUNITS', 'GODOWNNAME', 'BATCHNAME', 'OPENINGBALANCE', 'OPENINGRATE',
     'OPENINGVALUE', 'MFDON'],
    [['Hex Bolt M8', 'Primary', None, 'Nos', None, None, None, None, None, None],
     ['Copper Lug 6mm', 'Primary', None, 'Nos', None, None, None, None, None, None]],
)

LEDGERS = (
    ['NAME', 'PARENT'],
    [['Al Noor Trading LLC', 'Sundry Debtors'], ['Export Sales', 'Sales Accounts'],
     ['Kiran Stores', 'Sundry Debtors'], ['Local Sales', 'Sales Accounts']],
)

D1 = datetime.date(2024, 4, 1)
D2 = datetime.date(2024, 4, 3)

MC_COLUMNS = ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION',
              'ADJMETHOD', 'ADJNAME', 'ADJDATE', 'ADJAMOUNT', 'VCHVIEWTYPE', 'ITEMNAME', 'QUANTITY', 'UNIT', 'RATE',
              'VCHCURRENCY', 'BASECURRENCY', 'EXCHANGERATE']
USD = ['$', 'Rs', 83.25]
VATTRANSACTIONSMC = (
    MC_COLUMNS,
    [
        ['Sales', 'EXP-1', D1, 'AN/PO/12', 'Al Noor Trading LLC', 1100, None, 'Export to Dubai', 'New Ref',
         'EXP-1', '30 Days', 1100, 'As Invoice', None, None, None, None] + USD,
        ['Sales', 'EXP-1', D1, None, 'Export Sales', None, 1000, None, None, None, None, None, None,
         'Hex Bolt M8', 200, 'Nos', 5] + USD,
        ['Sales', 'EXP-1', D1, None, 'Export Sales', None, 100, None, None, None, None, None, None,
         'Copper Lug 6mm', 50, 'Nos', 2] + USD,
        ['Sales', 'EXP-2', D1, None, 'Al Noor Trading LLC', 40, None, 'No such item', None, None, None, None,
         None, None, None, None, None] + USD,
        ['Sales', 'EXP-2', D1, None, 'Export Sales', None, 40, None, None, None, None, None, None,
         'Brass Washer', 20, 'Nos', 2] + USD,
    ],
)

ORDER_COLUMNS = ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION',
                 'ITEMNAME', 'QUANTITY', 'UNIT', 'RATE', 'GODOWNNAME', 'CONSIGNEE', 'CONSIGNEEADDRESS',
                 'BUYERADDRESS', 'ORDERNOS', 'ORDERDATES', 'TERMSOFDELIVERY']
ORDERS = (
    ORDER_COLUMNS,
    [
        ['Sales Order', 'SO-1', D1, 'KS/PO/77', 'Kiran Stores', 1250, None, 'Bolts for April', None, None,
         None, None, None, 'Kiran Stores - Hadapsar', 'Plot 9, Hadapsar Industrial Estate',
         '12 MG Road, Pune', 'KS/PO/77', '1-Apr-2024', 'Ex-works'],
        ['Sales Order', 'SO-1', D1, None, 'Local Sales', None, 1250, None, 'Hex Bolt M8', 250, 'Nos', 5,
         'Main Location', None, None, None, None, None, None],
        ['Sales Order', 'SO-2', D1, None, 'Kiran Stores', 100, None, 'No such godown', None, None, None, None,
         None, None, None, None, None, None, None],
        ['Sales Order', 'SO-2', D1, None, 'Local Sales', None, 100, None, 'Copper Lug 6mm', 50, 'Nos', 2,
         'Pune Depot', None, None, None, None, None, None],
    ],
)

NOTE_COLUMNS = ['SRNO', 'ID', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION',
                'ITEMNAME', 'QUANTITY', 'UNIT', 'RATE', 'GODOWNNAME', 'ORDERNO', 'TRACKINGNO', 'ORDERNOS',
                'ORDERDATES']
NOTES = (
    NOTE_COLUMNS,
    [
        ['DN-1', 'Delivery Note', 'DN-1', D2, 'KS/PO/77', 'Kiran Stores', 1250, None, 'Against SO-1', None,
         None, None, None, None, None, None, 'KS/PO/77', '1-Apr-2024'],
        ['DN-1', 'Delivery Note', 'DN-1', D2, None, 'Local Sales', None, 1250, None, 'Hex Bolt M8', 250, 'Nos',
         5, 'Main Location', 'SO-1', 'LR-5531', None, None],
        ['DN-2', 'Delivery Note', 'DN-2', D2, None, 'Kiran Stores', 30, None, 'No such item', None, None, None,
         None, None, None, None, None, None],
        ['DN-2', 'Delivery Note', 'DN-2', D2, None, 'Local Sales', None, 30, None, 'Brass Washer', 15, 'Nos', 2,
         'Main Location', None, None, None, None],
    ],
)


def numbered(sheet):
    """The loader reads a voucher sheet in the order of its SRNO column."""
    columns, rows = sheet
    return columns, [[n] + row for n, row in enumerate(rows, start=1)]


SHEETS = [('UNITS', UNITS), ('STOCKITEMS', STOCKITEMS), ('LEDGERS', LEDGERS),
          ('VATTRANSACTIONSMC', numbered(VATTRANSACTIONSMC)), ('ORDERS', numbered(ORDERS)),
          ('NOTES', numbered(NOTES))]


def main():
    write_workbook(os.path.join(HERE, 'e2e-items.xls'), SHEETS)


if __name__ == '__main__':
    main()
