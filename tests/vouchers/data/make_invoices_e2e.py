#!/usr/bin/python3
"""Writes invoices.xls, the workbook the unattended invoice end-to-end test posts, beside this script.

    /usr/bin/python3 tests/vouchers/data/make_invoices_e2e.py

Sheets, posted in this order by the test:
  LEDGERS, UNITS, GODOWNS, STOCKITEMS  the masters the invoices name
  ITEMTRANSACTIONS  (import type "ITEM TRANSACTIONS") a sales invoice of two items, one in a godown of
                    its own, with a bill on the party; a purchase invoice; one naming a stock item the
                    server does not know, refused
  VATTRANSACTIONS   a sales invoice in the invoice view with a consignee address of three lines, an item
                    with a two-piece description and a batch, and its tax line; a purchase invoice with a
                    bill; one naming an unknown stock item, refused

Both invoice sheets carry an ID column, so a refused invoice is marked on all of its rows. Needs xlwt
(Debian: python3-xlwt). Commit what it writes, and the expected files in expected/ when it changes.
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
        ['Kaveri Supplies', 'Sundry Creditors'],
        ['Sales', 'Sales Accounts'],
        ['Purchase', 'Purchase Accounts'],
        ['VAT Output 12.5%', 'Duties & Taxes'],
        ['VAT Input 12.5%', 'Duties & Taxes'],
    ],
)

UNITS = (
    ['NAME', 'ISSIMPLEUNIT', 'ORIGINALNAME', 'DECIMALPLACES', 'BASEUNITS', 'ADDITIONALUNITS', 'CONVERSION'],
    [['Nos', 'Yes', 'Numbers', 0, None, None, None], ['Mtr', 'Yes', 'Metres', 2, None, None, None]],
)

GODOWNS = (['NAME', 'PARENT', 'HASNOSTOCK'], [['Store', 'Primary', 'No']])

STOCKITEMS = (
    ['NAME', 'PARENT', 'CATEGORY', 'BASEUNITS', 'GODOWNNAME', 'BATCHNAME', 'OPENINGBALANCE', 'OPENINGRATE',
     'OPENINGVALUE', 'MFDON'],
    [
        ['Copper Wire', 'Primary', None, 'Mtr', None, None, None, None, None, None],
        ['PVC Pipe', 'Primary', None, 'Nos', None, None, None, None, None, None],
    ],
)

D1 = datetime.date(2024, 4, 1)
D2 = datetime.date(2024, 4, 5)

ITEM_TRANSACTIONS = (
    ['ID', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD',
     'ADJNAME', 'ADJDATE', 'ADJAMOUNT', 'ITEMNAME', 'QUANTITY', 'UNIT', 'RATE', 'GODOWNNAME'],
    [
        ['S-1', 'Sales', 'S-1', D1, 'PO 88', 'Joshi Electricals', 1125, None, 'Wire and pipe', 'New Ref',
         'JE/S-1', '30 Days', 1125, None, None, None, None, None],
        ['S-1', 'Sales', 'S-1', D1, None, 'Sales', None, 600, None, None, None, None, None, 'Copper Wire', 10,
         'Mtr', 60, 'Store'],
        ['S-1', 'Sales', 'S-1', D1, None, 'Sales', None, 400, None, None, None, None, None, 'PVC Pipe', 4, 'Nos',
         100, None],
        ['S-1', 'Sales', 'S-1', D1, None, 'VAT Output 12.5%', None, 125, None, None, None, None, None, None,
         None, None, None, None],
        ['P-1', 'Purchase', 'P-1', D2, None, 'Kaveri Supplies', None, '1,125', 'Wire', None, None, None, None,
         None, None, None, None, None],
        ['P-1', 'Purchase', 'P-1', D2, None, 'Purchase', 1000, None, None, None, None, None, None, 'Copper Wire',
         20, 'Mtr', 50, 'Store'],
        ['P-1', 'Purchase', 'P-1', D2, None, 'VAT Input 12.5%', 125, None, None, None, None, None, None, None,
         None, None, None, None],
        ['S-2', 'Sales', 'S-2', D2, None, 'Joshi Electricals', 300, None, 'No such item', None, None, None, None,
         None, None, None, None, None],
        ['S-2', 'Sales', 'S-2', D2, None, 'Sales', None, 300, None, None, None, None, None, 'Brass Tap', 3, 'Nos',
         100, None],
    ],
)

VAT_TRANSACTIONS = (
    ['ID', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD',
     'ADJNAME', 'ADJDATE', 'ADJAMOUNT', 'VCHVIEWTYPE', 'ITEMNAME', 'ITEMDESCRIPTION', 'QUANTITY', 'UNIT',
     'RATE', 'GODOWNNAME', 'BATCHNAME', 'ASSESSABLEAMT', 'TAXRATE', 'CONSIGNEE', 'CONSIGNEEADDRESS'],
    [
        ['V-1', 'Sales', 'V-1', D1, None, 'Joshi Electricals', 1125, None, 'Wire', None, 'JE/V-1', None, 1125,
         'Invoice', None, None, None, None, None, None, None, None, None, 'Joshi Electricals - Site',
         'Plot 12~MIDC Bhosari~Pune 411026'],
        ['V-1', 'Sales', 'V-1', D1, None, 'Sales', None, 1000, None, None, None, None, None, None, 'Copper Wire',
         '2.5 sq mm~Red', 10, 'Mtr', 100, 'Store', 'CW-0424', None, None, None, None],
        ['V-1', 'Sales', 'V-1', D1, None, 'VAT Output 12.5%', None, 125, None, None, None, None, None, None,
         None, None, None, None, None, None, None, 1000, '12.5%', None, None],
        ['V-2', 'Purchase', 'V-2', D2, None, 'Kaveri Supplies', None, 562.5, 'Pipe', None, 'KS/77', None, 562.5,
         'Invoice', None, None, None, None, None, None, None, None, None, None, None],
        ['V-2', 'Purchase', 'V-2', D2, None, 'Purchase', 500, None, None, None, None, None, None, None,
         'PVC Pipe', None, 5, 'Nos', 100, None, None, None, None, None, None],
        ['V-2', 'Purchase', 'V-2', D2, None, 'VAT Input 12.5%', 62.5, None, None, None, None, None, None, None,
         None, None, None, None, None, None, None, 500, '12.5%', None, None],
        ['V-3', 'Sales', 'V-3', D2, None, 'Joshi Electricals', 300, None, 'No such item', None, None, None, None,
         None, None, None, None, None, None, None, None, None, None, None, None],
        ['V-3', 'Sales', 'V-3', D2, None, 'Sales', None, 300, None, None, None, None, None, None, 'Brass Tap',
         None, 3, 'Nos', 100, None, None, None, None, None, None],
    ],
)


def numbered(table):
    """The loader reads a voucher sheet in the order of its SRNO column."""
    columns, rows = table
    return ['SRNO'] + columns, [[n] + row for n, row in enumerate(rows, start=1)]


SHEETS = [('LEDGERS', LEDGERS), ('UNITS', UNITS), ('GODOWNS', GODOWNS), ('STOCKITEMS', STOCKITEMS),
          ('ITEMTRANSACTIONS', numbered(ITEM_TRANSACTIONS)), ('VATTRANSACTIONS', numbered(VAT_TRANSACTIONS))]


def main():
    write_workbook(os.path.join(HERE, 'invoices.xls'), SHEETS)


if __name__ == '__main__':
    main()
