#!/usr/bin/python3
"""Writes the demo's sample workbook, QuiboSample.xls, beside this script.

    /usr/bin/python3 demo/make_sample.py

The masters of a small Indian distributor, Kaveri Distributors Pvt Ltd, one sheet per master import type,
then a sheet of its vouchers,
in the order scripts/demo posts them (a sheet may name masters of the sheets before it):

  LEDGERGROUPS     party groups under Sundry Debtors and Creditors, GST duty groups
  LEDGERS          debtors and creditors with opening bills (one amount typed with thousands separators),
                   bank accounts with their payment details, GST duty ledgers, sales and purchase ledgers
  UNITS            simple units and one compound unit
  GODOWNS          a warehouse with a bay below it, a depot
  STOCKGROUPS, STOCKCATEGORIES
  STOCKITEMS       items with opening batches spread over several rows and godowns, manufacturing dates
  COSTCATEGORIES, COSTCENTRES
  TRANSACTIONS     accounting vouchers over the ledgers above: a receipt against two bills by cheque, a
                   payment, a journal; an unbalanced journal and one naming an unknown ledger
  CRDRNOTES        a credit note against a sales bill; a debit note naming an unknown ledger
  COSTTRANSACTIONS branch rent split over two cost centres and paid by cheque; one naming the refused
                   cost centre
  STTDSTRANSACTIONS a contractor's bill with TDS booked to a project; a security agency's bill with service
                   tax; an unbalanced one

Every sheet also holds a row or two that the server refuses (a parent, unit or category that does not
exist), so the reports show both outcomes. Needs xlwt (Debian: python3-xlwt). Commit what it writes.
"""
import datetime
import os

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
DATE = xlwt.easyxf(num_format_str='DD-MM-YYYY')

LEDGER_GROUPS = (
    ['NAME', 'NAMEALIAS', 'PARENT', 'SUBLEDGER'],
    [
        ['Debtors - Mumbai', 'Mumbai Parties', 'Sundry Debtors', 'No'],
        ['Debtors - Pune', 'Pune Parties', 'Sundry Debtors', 'No'],
        ['Creditors - Steel Mills', '', 'Sundry Creditors', 'No'],
        ['Creditors - Cement Dealers', '', 'Sundry Creditors', 'No'],
        ['GST Input Credit', '', 'Duties & Taxes', 'No'],
        ['GST Output Liability', '', 'Duties & Taxes', 'No'],
        ['Selling & Distribution', '', 'Indirect Expenses', 'No'],
        # Refused: no group "Foreign Debtors".
        ['Export Debtors - Gulf', '', 'Foreign Debtors', 'No'],
    ],
)

BANK = ['PAYMENTFAVOURING', 'BANKNAME', 'ACCOUNTNUMBER', 'IFSCCODE', 'TRANSACTIONNAME', 'CHEQUECROSSCOMMENT',
        'SETASDEFAULT', 'DEFAULTTRANSACTIONTYPE']
BILL = ['OPENINGBILLDATE', 'OPENINGNAME', 'OPENINGCREDITPERIOD', 'OPENINGBALANCE']
LEDGER_COLUMNS = ['NAME', 'PARENT', 'ADDRESS1', 'ADDRESS2', 'STATE', 'PINCODE', 'COUNTRY', 'CONTACTPERSON',
                  'MOBILE', 'EMAIL', 'INCOMETAXNUMBER', 'VATTINNUMBER', 'BILLWISEON'] + BILL + BANK


def ledger(name, parent, address=('', ''), state='', pincode='', contact='', mobile='', email='', pan='',
           gstin='', billwise='Yes', bill=None, bank=None, balance=''):
    row = [name, parent, address[0], address[1], state, pincode, 'India' if state else '', contact, mobile,
           email, pan, gstin, billwise]
    row += list(bill) if bill else ['', '', '', balance]
    row += list(bank) if bank else [''] * len(BANK)
    return row


def more(bill=None, bank=None):
    """A further row of the ledger above: its NAME cell is left blank."""
    return ledger('', '', bill=bill, bank=bank)


LEDGERS = (
    LEDGER_COLUMNS,
    [
        ledger('Gupta Building Materials', 'Debtors - Mumbai', ('Shop 4, Lohar Chawl', 'Kalbadevi, Mumbai'),
               'Maharashtra', '400002', 'Rakesh Gupta', '9820012345', 'accounts@guptabm.in', 'AAEPG4321K',
               '27AAEPG4321K1Z3', bill=('1-Feb-2024', 'GBM/2324/118', '30 Days', 48500)),
        more(bill=('12-Mar-2024', 'GBM/2324/164', '30 Days', '1,25,000')),  # typed with separators
        ledger('Patil Hardware & Sanitary', 'Debtors - Pune', ('21 Laxmi Road', 'Shaniwar Peth, Pune'),
               'Maharashtra', '411030', 'Sunil Patil', '9822098765', 'patilhardware@gmail.com', 'ABJPP7788Q',
               '27ABJPP7788Q1ZK', bill=('20-Mar-2024', 'KD/PN/0457', '45 Days', 76250.50)),
        ledger('Shree Balaji Steel Rolling Mills', 'Creditors - Steel Mills', ('Plot 12, MIDC Taloja',
               'Navi Mumbai'), 'Maharashtra', '410208', 'Anil Agarwal', '9769011223',
               'sales@balajisteel.co.in', 'AAKCS5566M', '27AAKCS5566M1Z8',
               bill=('28-Mar-2024', 'SBS/INV/2291', '60 Days', -215000),
               bank=('Shree Balaji Steel Rolling Mills', 'State Bank of India', '30412298765', 'SBIN0001234',
                     'NEFT', '', 'Yes', 'NEFT')),
        more(bill=('30-Mar-2024', 'SBS/INV/2317', '60 Days', -84600)),
        ledger('Ambuja Cement Dealers Co-op', 'Creditors - Cement Dealers', ('Near APMC Market', 'Vashi'),
               'Maharashtra', '400703', 'Mahesh Shetty', '9930044556', '', 'AACCA1122F', '27AACCA1122F1ZQ',
               bill=('25-Mar-2024', 'ACD/1187', '30 Days', -62400),
               bank=('Ambuja Cement Dealers Co-op', 'Bank of Baroda', '04520200011223', 'BARB0VASHIX', 'RTGS',
                     '', 'Yes', 'RTGS')),
        ledger('HDFC Bank - Current A/c 4521', 'Bank Accounts', billwise='No', balance=1845000,
               bank=('Kaveri Distributors Pvt Ltd', 'HDFC Bank', '50200034567821', 'HDFC0000239', 'NEFT',
                     'A/c Payee', 'Yes', 'NEFT')),
        more(bank=('Kaveri Distributors Pvt Ltd', 'HDFC Bank', '50200034567821', 'HDFC0000239', 'RTGS',
                   'A/c Payee', 'No', 'RTGS')),
        ledger('ICICI Bank - OD A/c 0098', 'Bank OD A/c', billwise='No', balance=-650000,
               bank=('Kaveri Distributors Pvt Ltd', 'ICICI Bank', '009805001234', 'ICIC0000098', 'NEFT', '',
                     'Yes', 'NEFT')),
        ledger('Input CGST 9%', 'GST Input Credit', billwise='No'),
        ledger('Input SGST 9%', 'GST Input Credit', billwise='No'),
        ledger('Output CGST 9%', 'GST Output Liability', billwise='No'),
        ledger('Output SGST 9%', 'GST Output Liability', billwise='No'),
        ledger('Output IGST 18%', 'GST Output Liability', billwise='No'),
        ledger('Sales - Local 18%', 'Sales Accounts', billwise='No'),
        ledger('Purchase - Local 18%', 'Purchase Accounts', billwise='No'),
        ledger('Freight Inward', 'Direct Expenses', billwise='No'),
        ledger('Dealer Incentives', 'Selling & Distribution', billwise='No'),
        # Named by the notes, cost-centre and service-tax/TDS vouchers.
        ledger('Sales Returns', 'Sales Accounts', billwise='No'),
        ledger('Branch Rent', 'Indirect Expenses', billwise='No'),
        ledger('Contract Labour Charges', 'Direct Expenses', billwise='No'),
        ledger('Sai Construction Services', 'Sundry Creditors'),
        ledger('TDS on Contracts 194C', 'Duties & Taxes', billwise='No'),
        ledger('Security Services', 'Indirect Expenses', billwise='No'),
        ledger('Input Service Tax', 'Duties & Taxes', billwise='No'),
        ledger('Vigilant Security Agency', 'Sundry Creditors'),
        # Refused: their groups do not exist (the second one's was refused on the groups sheet).
        ledger('Lakshmi Traders', 'Debtors - Chennai', ('7 Anna Salai', 'Chennai'), 'Tamil Nadu', '600002',
               bill=('5-Mar-2024', 'KD/CH/0012', '30 Days', 18900)),
        ledger('Al Noor Trading LLC', 'Export Debtors - Gulf', billwise='No'),
    ],
)

UNITS = (
    ['NAME', 'ISSIMPLEUNIT', 'ORIGINALNAME', 'DECIMALPLACES', 'BASEUNITS', 'ADDITIONALUNITS', 'CONVERSION'],
    [
        ['Nos', 'Yes', 'Numbers', 0, '', '', ''],
        ['kg', 'Yes', 'Kilograms', 3, '', '', ''],
        ['MT', 'Yes', 'Metric Tonnes', 3, '', '', ''],
        ['Bag', 'yes', 'Bags', 0, '', '', ''],
        ['Box', 'Yes', 'Boxes', 0, '', '', ''],
        ['Box of 12 Nos', 'No', '', '', 'Box', 'Nos', 12],
        # Refused: neither unit of the compound exists.
        ['Crate of 24 Btl', 'No', '', '', 'Crate', 'Btl', 24],
    ],
)

GODOWNS = (
    ['NAME', 'PARENT', 'HASNOSTOCK'],
    [
        ['Bhiwandi Warehouse', 'Primary', 'No'],
        ['Bhiwandi Warehouse - Bay 2', 'Bhiwandi Warehouse', 'No'],
        ['Pune Depot - Hadapsar', 'Primary', 'No'],
        # Refused: no godown "In Transit".
        ['Transit - Nagpur', 'In Transit', 'No'],
    ],
)

STOCK_GROUPS = (
    ['NAME', 'PARENT', 'ISADDABLE'],
    [
        ['Steel', 'Primary', 'Yes'],
        ['TMT Bars', 'Steel', 'Yes'],
        ['Binding Wire', 'Steel', 'Yes'],
        ['Cement', 'Primary', 'Yes'],
        ['Paints & Putty', 'Primary', 'Yes'],
        # Refused: no stock group "Timber".
        ['Plywood', 'Timber', 'Yes'],
    ],
)

STOCK_CATEGORIES = (
    ['NAME', 'PARENT'],
    [
        ['Branded', 'Primary'],
        ['Unbranded', 'Primary'],
        ['ISI Certified', 'Branded'],
        # Refused: no category "Clearance".
        ['Seconds', 'Clearance'],
    ],
)

ITEM_COLUMNS = ['NAME', 'PARENT', 'CATEGORY', 'BASEUNITS', 'DESCRIPTION', 'ISBATCHWISEON', 'HASMFGDATE',
                'GODOWNNAME', 'BATCHNAME', 'OPENINGBALANCE', 'OPENINGRATE', 'OPENINGVALUE', 'MFDON']


def item(name, parent, category, unit, description='', batches='No', godown='', batch='', quantity='',
         rate='', value='', made=None):
    return [name, parent, category, unit, description, batches, batches, godown, batch, quantity, rate, value,
            made or '']


def batch(godown, name, quantity, rate, value, made=None):
    return item('', '', '', '', godown=godown, batch=name, quantity=quantity, rate=rate, value=value, made=made,
                batches='')


STOCK_ITEMS = (
    ITEM_COLUMNS,
    [
        item('TMT Bar 12mm Fe500D', 'TMT Bars', 'ISI Certified', 'kg', 'Thermo-mechanically treated rebar',
             'Yes', 'Bhiwandi Warehouse', 'TMT12-0324', 18500, 58.5, 1082250,
             datetime.date(2024, 3, 18)),
        batch('Pune Depot - Hadapsar', 'TMT12-0324P', 6200, 58.5, 362700, datetime.date(2024, 3, 18)),
        item('TMT Bar 16mm Fe500D', 'TMT Bars', 'ISI Certified', 'kg', '', 'Yes', 'Bhiwandi Warehouse',
             'TMT16-0324', 12400, 57.75, 716100, datetime.date(2024, 3, 21)),
        item('Binding Wire 18 SWG', 'Binding Wire', 'Unbranded', 'kg', 'Annealed GI binding wire', 'No',
             'Bhiwandi Warehouse - Bay 2', '', 950, 82, 77900),
        item('OPC 53 Grade Cement 50kg', 'Cement', 'Branded', 'Bag', 'Ordinary Portland cement', 'Yes',
             'Bhiwandi Warehouse', 'OPC-W11', 1200, 365, 438000, datetime.date(2024, 3, 11)),
        batch('Bhiwandi Warehouse - Bay 2', 'OPC-W12', 800, 368, 294400, datetime.date(2024, 3, 19)),
        batch('Pune Depot - Hadapsar', 'OPC-P12', 450, 370, 166500, datetime.date(2024, 3, 20)),
        item('Wall Putty 40kg', 'Paints & Putty', 'Branded', 'Bag', 'White cement based putty', 'No',
             'Pune Depot - Hadapsar', '', 140, 720, 100800),
        # Refused: its stock group was refused, and no unit "sqft" exists.
        item('Marine Plywood 18mm', 'Plywood', 'Branded', 'Nos', '', 'No', 'Bhiwandi Warehouse', '', 60, 2450,
             147000),
        item('Vitrified Tiles 600x600', 'Primary', 'Unbranded', 'sqft'),
    ],
)

COST_CATEGORIES = (
    ['NAME', 'ALLOCATEREVENUE', 'ALLOCATENONREVENUE'],
    [
        ['Branches', 'Yes', 'No'],
        ['Projects', 'Yes', 'Yes'],
    ],
)

COST_CENTRES = (
    ['NAME', 'PARENT', 'CATEGORY'],
    [
        ['Mumbai Branch', 'Primary', 'Branches'],
        ['Mumbai Branch - Field Sales', 'Mumbai Branch', 'Branches'],
        ['Pune Branch', 'Primary', 'Branches'],
        ['Hinjewadi Tower Site', 'Primary', 'Projects'],
        ['Head Office', 'Primary', ''],  # goes to the Primary Cost Category
        # Refused: no cost category "Regions".
        ['Nagpur Branch', 'Primary', 'Regions'],
    ],
)

D1 = datetime.date(2024, 4, 2)
D2 = datetime.date(2024, 4, 8)
D3 = datetime.date(2024, 4, 15)
# Posted after the masters: each voucher names ledgers of the LEDGERS sheet. The loader reads a voucher
# sheet in the order of its SRNO column.
TRANSACTIONS = (
    ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJNAME',
     'ADJAMOUNT', 'BankAmount', 'InstrumentNumber', 'BankName'],
    [
        # A receipt against two of a debtor's bills, by cheque into the bank.
        [1, 'Receipt', 'R-101', D1, '', 'Gupta Building Materials', '', '1,20,000', 'Cheque against bills',
         'GBM/2324/118', 85000, '', '', ''],
        [2, 'Receipt', 'R-101', D1, '', '', '', '', '', 'GBM/2324/131', 35000, '', '', ''],
        [3, 'Receipt', 'R-101', D1, '', 'HDFC Bank - Current A/c 4521', 120000, '', '', '', '', 120000,
         '004519', 'HDFC Bank'],
        # Freight paid from the bank.
        [4, 'Payment', 'P-201', D2, 'LR 5531', 'Freight Inward', 14500, '', 'Freight on steel lot', '', '', '',
         '', ''],
        [5, 'Payment', 'P-201', D2, 'LR 5531', 'HDFC Bank - Current A/c 4521', '', 14500, '', '', '', '', '',
         ''],
        # A dealer incentive credited to a debtor.
        [6, 'Journal', 'J-301', D3, '', 'Dealer Incentives', 7500, '', 'Incentive for March', '', '', '', '',
         ''],
        [7, 'Journal', 'J-301', D3, '', 'Patil Hardware & Sanitary', '', 7500, '', 'PHS/INC/03', 7500, '', '',
         ''],
        # Refused: the two sides do not balance.
        [8, 'Journal', 'J-302', D3, '', 'Dealer Incentives', 5000, '', 'Typed wrong', '', '', '', '', ''],
        [9, 'Journal', 'J-302', D3, '', 'Patil Hardware & Sanitary', '', 500, '', '', '', '', '', ''],
        # Refused: no ledger "Staff Welfare".
        [10, 'Payment', 'P-202', D3, '', 'Staff Welfare', 2200, '', 'Diwali sweets', '', '', '', '', ''],
        [11, 'Payment', 'P-202', D3, '', 'HDFC Bank - Current A/c 4521', '', 2200, '', '', '', '', '', ''],
    ],
)



def numbered(columns, rows):
    """A voucher sheet read in SRNO order; a row shorter than the columns ends in blank cells."""
    return ['SRNO'] + columns, [[n] + row + [''] * (len(columns) - len(row)) for n, row in enumerate(rows, 1)]


def notes_cost_tax_sheets():
    """The debit/credit notes, cost-centre and service-tax/TDS vouchers, after the masters they name."""
    d1, d2 = datetime.date(2024, 4, 18), datetime.date(2024, 4, 22)
    notes = numbered(
        ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD', 'ADJNAME',
         'ADJAMOUNT'],
        [
            # Part of a sales bill returned by the debtor.
            ['Credit Note', 'CN-01', d1, 'GBM/2324/118', 'Sales Returns', 8500, '', 'Damaged bags returned'],
            ['Credit Note', 'CN-01', d1, '', 'Gupta Building Materials', '', 8500, '', 'Agst Ref', 'GBM/2324/118',
             8500],
            # Refused: no ledger "Rate Difference".
            ['Debit Note', 'DN-01', d2, '', 'Shree Balaji Steel Rolling Mills', 4000, '', 'Short supply',
             'Agst Ref', 'SBS/INV/2291', 4000],
            ['Debit Note', 'DN-01', d2, '', 'Rate Difference', '', 4000],
        ])
    costs = numbered(
        ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD', 'ADJNAME',
         'ADJDATE', 'ADJAMOUNT', 'COSTCATEGORY', 'COSTCENTRE', 'COSTAMOUNT', 'BankAmount', 'InstrumentType',
         'InstrumentNumber', 'BankName'],
        [
            # Rent of two branches in one cheque.
            ['Payment', 'CP-01', d1, '', 'Branch Rent', 45000, '', 'Rent for April', '', '', '', '', 'Branches',
             'Mumbai Branch', 27000],
            ['Payment', 'CP-01', d1, '', '', '', '', '', '', '', '', '', 'Branches', 'Pune Branch', 18000],
            ['Payment', 'CP-01', d1, '', 'HDFC Bank - Current A/c 4521', '', 45000, '', '', '', '', '', '', '', '',
             45000, 'Cheque', '004531', 'HDFC Bank'],
            # Refused: the cost centre "Nagpur Branch" was refused on the cost centres sheet.
            ['Payment', 'CP-02', d2, '', 'Branch Rent', 9000, '', 'Rent for April', '', '', '', '', 'Branches',
             'Nagpur Branch', 9000],
            ['Payment', 'CP-02', d2, '', 'HDFC Bank - Current A/c 4521', '', 9000],
        ])
    taxes = numbered(
        ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD', 'ADJNAME',
         'ADJAMOUNT', 'SERVICETAXLEDGER', 'ASSESSABLEAMT', 'SERVICETAX', 'CESS', 'SECCESS', 'TDSLEDGER',
         'TDSRATE', 'ISSPECIALRATE', 'COSTCATEGORY', 'COSTCENTRE', 'COSTAMOUNT'],
        [
            # A contractor's bill for the project site, TDS at 2% held back.
            ['Journal', 'TJ-01', d1, 'SCS/24/09', 'Contract Labour Charges', 80000, '', 'Shuttering work, April',
             '', '', '', '', '', '', '', '', '', '', '', 'Projects', 'Hinjewadi Tower Site', 80000],
            ['Journal', 'TJ-01', d1, '', 'Sai Construction Services', '', 78400, '', 'New Ref', 'SCS/24/09', 78400,
             '', '', '', '', '', 'TDS on Contracts 194C', '', 'No'],
            ['Journal', 'TJ-01', d1, '', 'TDS on Contracts 194C', '', 1600],
            # A security agency's bill with service tax at 12% and the cesses on it.
            ['Journal', 'TJ-02', d2, 'VSA/118', 'Security Services', 20000, '', 'Guards for April', 'New Ref',
             'VSA/118', 22472, 'Input Service Tax', 20000, 2400, 48, 24],
            ['Journal', 'TJ-02', d2, '', 'Input Service Tax', 2472],
            ['Journal', 'TJ-02', d2, '', 'Vigilant Security Agency', '', 22472],
            # Refused: the two sides do not balance.
            ['Journal', 'TJ-03', d2, '', 'Security Services', 5000, '', 'Typed wrong'],
            ['Journal', 'TJ-03', d2, '', 'Vigilant Security Agency', '', 500],
        ])
    return [('CRDRNOTES', notes), ('COSTTRANSACTIONS', costs), ('STTDSTRANSACTIONS', taxes)]


SHEETS = [
    ('LEDGERGROUPS', LEDGER_GROUPS),
    ('LEDGERS', LEDGERS),
    ('UNITS', UNITS),
    ('GODOWNS', GODOWNS),
    ('STOCKGROUPS', STOCK_GROUPS),
    ('STOCKCATEGORIES', STOCK_CATEGORIES),
    ('STOCKITEMS', STOCK_ITEMS),
    ('COSTCATEGORIES', COST_CATEGORIES),
    ('COSTCENTRES', COST_CENTRES),
    ('TRANSACTIONS', TRANSACTIONS),
] + notes_cost_tax_sheets()


def write(sheet, columns, rows):
    for c, name in enumerate(columns):
        sheet.write(0, c, name)
    for r, row in enumerate(rows, start=1):
        assert len(row) == len(columns), (columns, row)
        for c, value in enumerate(row):
            if value == '' or value is None:
                continue  # an .xls cell cannot hold an empty text: leave it out
            if isinstance(value, datetime.date):
                sheet.write(r, c, value, DATE)
            else:
                sheet.write(r, c, value)


def main():
    book = xlwt.Workbook(encoding='utf-8')
    for name, (columns, rows) in SHEETS:
        write(book.add_sheet(name), columns, rows)
    path = os.path.join(HERE, 'QuiboSample.xls')
    book.save(path)
    print(path)


if __name__ == '__main__':
    main()
