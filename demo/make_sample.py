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
  TRANSACTIONSGST  GST sales and a purchase, built from the format "TRANSACTIONSGST"; a sale naming a tax
                   ledger that does not exist
  PETTYCASH        cash payments of the user's own voucher format "PETTYCASH"
                   (the two formats are in VoucherFormats.sql, which scripts/demo writes into its local
                   database)
  TDSTRANSACTIONS  TDS deducted on a contractor's bill (with its cost centre) and a professional's bill
  SERVICETAXTRANSACTIONS  an advertising agency's bill with its service-tax bill
  QUICKTRANSACTIONS  cash expenses, one voucher per row, one of two rows
  BANKSTMT         a month of the current account's statement: deposits, withdrawals, a contra
  VATTRANSACTIONSMC an export invoice in dollars (the rupee the base currency) with two item lines and a
                   bill; one naming a stock item that was refused
  ORDERS           a sales order with its consignee, addresses, order number and terms; one to a godown
                   that was refused
  NOTES            the delivery note against that order; one naming a stock item that was refused
  STOCKJV          a godown transfer of cement with batches; one into a refused godown
  PHYSICALSTOCK    the month-end stock count; one of a refused item
  VOUCHERREGISTER  sales with output VAT, one row a voucher, mapped to ledgers by VOUCHERREGISTERMap; one
                   to a refused party
  ATTENDANCE       two employees' attendance (cost centres of the COSTCENTRES sheet); one on a day that
                   does not exist
  ITEMTRANSACTIONS itemised sales and purchase invoices of the stock items above, in their godowns; one
                   naming an item the server refused
  VATTRANSACTIONS  VAT invoices: a sale with a consignee address of three lines and an item described in
                   two pieces, from a batch; a purchase into a batch; one naming an item the server refused
  CRDRNOTES        a credit note against a sales bill; a debit note naming an unknown ledger
  COSTTRANSACTIONS branch rent split over two cost centres and paid by cheque; one naming the refused
                   cost centre
  STTDSTRANSACTIONS a contractor's bill with TDS booked to a project; a security agency's bill with service
                   tax; an unbalanced one

The TDS, service-tax, quick and bank sheets name ledgers that tax_and_bank_sheets() adds to the LEDGERS
sheet (TDS, service-tax and expense ledgers) and each refuse one voucher naming a ledger that does not
exist; the masters of the item sheets join the master sheets through item_vouchers().

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

def format_voucher_sheets():
    """The sheets posted through a voucher format of the local database (demo/VoucherFormats.sql)."""
    d1, d2, d3 = datetime.date(2024, 4, 3), datetime.date(2024, 4, 5), datetime.date(2024, 4, 10)
    # One ledger line a row, a debit negative; the loader fills VCHTYPE, VCHNO and VCHDATE down.
    gst = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'LEDGER', 'AMOUNT', 'NARRATION'],
        [
            ['Sales', 'KD/S/0412', d1, 'Gupta Building Materials', -59000, 'TMT bars 12mm, 850 kg'],
            ['', '', '', 'Sales - Local 18%', 50000, ''],
            ['', '', '', 'Output CGST 9%', 4500, ''],
            ['', '', '', 'Output SGST 9%', 4500, ''],
            ['Purchase', 'SBS/INV/2402', d2, 'Purchase - Local 18%', -120000, 'TMT bars, lot 0405'],
            ['', '', '', 'Input CGST 9%', -10800, ''],
            ['', '', '', 'Input SGST 9%', -10800, ''],
            ['', '', '', 'Shree Balaji Steel Rolling Mills', 141600, ''],
            ['Sales', 'KD/S/0413', d3, 'Patil Hardware & Sanitary', -23600, 'Wall putty, 25 bags'],
            ['', '', '', 'Sales - Local 18%', 20000, ''],
            ['', '', '', 'Output CGST 9%', 1800, ''],
            ['', '', '', 'Output SGST 9%', 1800, ''],
            # Refused: no ledger "Output UTGST 9%".
            ['Sales', 'KD/S/0414', d3, 'Gupta Building Materials', -11800, 'Binding wire'],
            ['', '', '', 'Sales - Local 18%', 10000, ''],
            ['', '', '', 'Output UTGST 9%', 1800, ''],
        ],
    )
    gst = (gst[0], [[n] + row for n, row in enumerate(gst[1], start=1)])
    # Not a repaired voucher table: every cell is written, the dates as text.
    petty_cash = (
        ['VOUCHERNO', 'PAIDON', 'NAME', 'AMOUNT', 'NOTE'],
        [
            ['PC/01', '04-04-2024', 'Freight Inward', -850, 'Tempo hire, Bhiwandi'],
            ['PC/01', '04-04-2024', 'Cash', 850, 'Tempo hire, Bhiwandi'],
            ['PC/02', '09-04-2024', 'Dealer Incentives', -1500, 'Counter display, Patil Hardware'],
            ['PC/02', '09-04-2024', 'Cash', 1500, 'Counter display, Patil Hardware'],
        ],
    )
    return [('TRANSACTIONSGST', gst), ('PETTYCASH', petty_cash)]


def tax_and_bank_sheets():
    """The TDS, service-tax, quick and bank-statement sheets; their ledgers join the LEDGERS sheet."""
    LEDGERS[1].extend([
        ledger('Warehouse Repairs', 'Indirect Expenses', billwise='No'),
        ledger('Deshmukh Civil Contractors', 'Sundry Creditors'),
        ledger('TDS on Contracts 194C', 'Duties & Taxes', billwise='No'),
        ledger('Audit Fees', 'Indirect Expenses', billwise='No'),
        ledger('Kulkarni & Associates', 'Sundry Creditors'),
        ledger('TDS on Professional Fees 194J', 'Duties & Taxes', billwise='No'),
        ledger('Advertisement Expenses', 'Indirect Expenses', billwise='No'),
        ledger('Service Tax Input Credit', 'Duties & Taxes', billwise='No'),
        ledger('Pixel Ads Mumbai', 'Sundry Creditors'),
        ledger('Conveyance', 'Indirect Expenses', billwise='No'),
        ledger('Printing & Stationery', 'Indirect Expenses', billwise='No'),
        ledger('Office Expenses', 'Indirect Expenses', billwise='No'),
        ledger('Bank Charges', 'Indirect Expenses', billwise='No'),
    ])
    d = {day: datetime.date(2024, 4, day) for day in range(1, 31)}  # d[n] is the n-th of April
    tds = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD',
         'ADJNAME', 'ADJAMOUNT', 'TDSLEDGER', 'TDSRATE', 'ISSPECIALRATE', 'COSTCATEGORY', 'COSTCENTRE',
         'COSTAMOUNT'],
        [
            # A contractor's bill: 2% deducted under section 194C, the repairs charged to the head office.
            [1, 'Journal', 'J-401', d[20], 'DCC/118', 'Warehouse Repairs', 80000, '', 'Roof repairs, Bhiwandi',
             '', '', '', '', '', '', '', 'Head Office', 80000],
            [2, 'Journal', 'J-401', d[20], '', 'Deshmukh Civil Contractors', '', 78400, '', 'New Ref', 'DCC/118',
             78400, 'TDS on Contracts 194C', 2, 'No', '', '', ''],
            [3, 'Journal', 'J-401', d[20], '', 'TDS on Contracts 194C', '', 1600, '', '', '', '', '', '', '', '',
             '', ''],
            # A professional's bill: 10% deducted under section 194J.
            [4, 'Journal', 'J-402', d[25], 'KA/24-25/09', 'Audit Fees', 45000, '', 'Statutory audit 2023-24',
             '', '', '', '', '', '', '', '', ''],
            [5, 'Journal', 'J-402', d[25], '', 'Kulkarni & Associates', '', 40500, '', 'New Ref', 'KA/24-25/09',
             40500, 'TDS on Professional Fees 194J', 10, 'No', '', '', ''],
            [6, 'Journal', 'J-402', d[25], '', 'TDS on Professional Fees 194J', '', 4500, '', '', '', '', '', '',
             '', '', '', ''],
            # Refused: no ledger "Watch and Ward".
            [7, 'Journal', 'J-403', d[30], '', 'Watch and Ward', 30000, '', 'Guards for April', '', '', '',
             '', '', '', '', '', ''],
            [8, 'Journal', 'J-403', d[30], '', 'Deshmukh Civil Contractors', '', 30000, '', '', '', '', '', '',
             '', '', '', ''],
        ],
    )
    service_tax = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD',
         'ADJNAME', 'ADJAMOUNT', 'SERVICETAXLEDGER', 'ASSESSABLEAMT', 'SERVICETAXRATE', 'SERVICETAX', 'CESS',
         'SECCESS'],
        [
            # An agency's bill of 25,000 with service tax at 12.36% (12% and the two cesses on it).
            [1, 'Journal', 'J-411', d[12], 'PAM/77', 'Advertisement Expenses', 25000, '', 'Hoardings, April',
             '', '', '', '', 0, '', '', '', ''],
            [2, 'Journal', 'J-411', d[12], '', 'Service Tax Input Credit', 3090, '', '', '', '', '', '', 0, '', '',
             '', ''],
            [3, 'Journal', 'J-411', d[12], '', 'Pixel Ads Mumbai', '', 28090, '', 'New Ref', 'PAM/77', 28090,
             'Service Tax Input Credit', 25000, 12.36, 3000, 60, 30],
            # Refused: no ledger "Courier Charges".
            [4, 'Journal', 'J-412', d[18], '', 'Courier Charges', 1200, '', 'Courier bill', '', '', '', '', 0,
             '', '', '', ''],
            [5, 'Journal', 'J-412', d[18], '', 'Pixel Ads Mumbai', '', 1200, '', '', '', '', '', 0, '', '', '',
             ''],
        ],
    )
    quick = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'CRLEDGER', 'DRLEDGER', 'AMOUNT', 'NARRATION',
         'FirstSide'],
        [
            [1, 'Payment', 'Q-501', d[3], '', 'Cash', 'Conveyance', 650, 'Auto fares to the Taloja yard', ''],
            [2, 'Payment', 'Q-502', d[9], 'INV 2231', 'Cash', 'Printing & Stationery', '1,850', 'Delivery challans',
             'Cr'],
            # One voucher of two rows: a line pair each.
            [3, 'Payment', 'Q-503', d[17], '', 'Cash', 'Office Expenses', 420, 'Petty cash, week 3', ''],
            [4, 'Payment', 'Q-503', d[17], '', 'Cash', 'Conveyance', 180, '', ''],
            # Refused: no ledger "Courier Charges".
            [5, 'Payment', 'Q-504', d[22], '', 'Cash', 'Courier Charges', 300, 'Courier to Pune', ''],
        ],
    )
    bank = 'HDFC Bank - Current A/c 4521'
    statement = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'BANKDATE', 'BANK', 'LEDGER', 'WITHDRAWAL', 'DEPOSIT',
         'NARRATION'],
        [
            [1, 'Receipt', 'B-601', d[4], d[5], bank, 'Patil Hardware & Sanitary', '', '76,250.50',
             'NEFT from Patil Hardware'],
            [2, 'Payment', 'B-602', d[10], d[10], bank, 'Ambuja Cement Dealers Co-op', 62400, '',
             'RTGS to Ambuja Cement'],
            [3, 'Receipt', 'B-603', d[16], d[17], bank, 'Gupta Building Materials', '', 48500,
             'Cheque from Gupta Building Materials'],
            # Cash drawn for the week and the unspent part paid back in: one contra of two rows.
            [4, 'Contra', 'B-604', d[22], d[22], bank, 'Cash', 20000, '', 'Cash for site wages'],
            [5, 'Contra', 'B-604', d[22], d[22], bank, 'Cash', '', 3500, ''],
            [6, 'Payment', 'B-605', d[30], d[30], bank, 'Bank Charges', 590, '', 'Service charges for April'],
            # Refused: no ledger "Courier Charges".
            [7, 'Payment', 'B-606', d[30], d[30], bank, 'Courier Charges', 250, '', 'Debit card, courier'],
        ],
    )
    return [('TDSTRANSACTIONS', tds), ('SERVICETAXTRANSACTIONS', service_tax), ('QUICKTRANSACTIONS', quick),
            ('BANKSTMT', statement)]


def item_vouchers():
    """The invoice, order and note sheets, and the masters they name added to the master sheets."""
    LEDGERS[1].extend([
        ledger('Gulf Build Supplies FZE', 'Sundry Debtors', ('Plot S30412, Jebel Ali Free Zone', 'Dubai')),
        ledger('Export Sales', 'Sales Accounts', billwise='No'),
    ])
    d1, d2 = datetime.date(2024, 4, 10), datetime.date(2024, 4, 12)
    usd = ['$', 'Rs', 83.25]
    # An export invoice in dollars, the rupee the base currency: two item lines and the buyer's bill.
    invoices = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ADJMETHOD',
         'ADJNAME', 'ADJDATE', 'ADJAMOUNT', 'VCHVIEWTYPE', 'ITEMNAME', 'QUANTITY', 'UNIT', 'RATE', 'GODOWNNAME',
         'BATCHNAME', 'VCHCURRENCY', 'BASECURRENCY', 'EXCHANGERATE'],
        [
            [1, 'Sales', 'EXP/24-25/001', d1, 'GBS/PO/2291', 'Gulf Build Supplies FZE', 6000, '',
             'Export of TMT bars and binding wire', 'New Ref', 'EXP/24-25/001', '60 Days', 6000, 'As Invoice',
             '', '', '', '', '', ''] + usd,
            [2, 'Sales', 'EXP/24-25/001', d1, '', 'Export Sales', '', 3500, '', '', '', '', '', '',
             'TMT Bar 12mm Fe500D', 5000, 'kg', 0.7, 'Bhiwandi Warehouse', 'TMT12-0324'] + usd,
            [3, 'Sales', 'EXP/24-25/001', d1, '', 'Export Sales', '', 2500, '', '', '', '', '', '',
             'Binding Wire 18 SWG', 2500, 'kg', 1, 'Bhiwandi Warehouse - Bay 2', ''] + usd,
            # Refused: the plywood was refused on the stock items sheet.
            [4, 'Sales', 'EXP/24-25/002', d1, '', 'Gulf Build Supplies FZE', 400, '', 'Plywood sample lot', '',
             '', '', '', 'As Invoice', '', '', '', '', '', ''] + usd,
            [5, 'Sales', 'EXP/24-25/002', d1, '', 'Export Sales', '', 400, '', '', '', '', '', '',
             'Marine Plywood 18mm', 10, 'Nos', 40, 'Bhiwandi Warehouse', ''] + usd,
        ],
    )
    # A sales order with its consignee, the buyer's address, the customer's order and the terms.
    orders = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ITEMNAME',
         'QUANTITY', 'UNIT', 'RATE', 'GODOWNNAME', 'CONSIGNEE', 'CONSIGNEEADDRESS', 'BUYERADDRESS', 'ORDERNOS',
         'ORDERDATES', 'TERMSOFDELIVERY'],
        [
            [1, 'Sales Order', 'SO/24-25/014', d1, 'PHS/PO/0092', 'Patil Hardware & Sanitary', 73000, '',
             'Cement for the Hadapsar site', '', '', '', '', '', 'Patil Hardware - Hadapsar Site',
             'Survey 41, Hadapsar, Pune', '21 Laxmi Road, Shaniwar Peth, Pune', 'PHS/PO/0092', '9-Apr-2024',
             'Door delivery, freight paid'],
            [2, 'Sales Order', 'SO/24-25/014', d1, '', 'Sales - Local 18%', '', 73000, '',
             'OPC 53 Grade Cement 50kg', 200, 'Bag', 365, 'Pune Depot - Hadapsar', '', '', '', '', '', ''],
            # Refused: the Nagpur transit godown was refused on the godowns sheet.
            [3, 'Sales Order', 'SO/24-25/015', d1, '', 'Patil Hardware & Sanitary', 14400, '', 'Putty', '', '',
             '', '', '', '', '', '', '', '', ''],
            [4, 'Sales Order', 'SO/24-25/015', d1, '', 'Sales - Local 18%', '', 14400, '', 'Wall Putty 40kg', 20,
             'Bag', 720, 'Transit - Nagpur', '', '', '', '', '', ''],
        ],
    )
    # The delivery note against that order.
    notes = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION', 'ITEMNAME',
         'QUANTITY', 'UNIT', 'RATE', 'GODOWNNAME', 'ORDERNO', 'TRACKINGNO', 'ORDERNOS', 'ORDERDATES'],
        [
            [1, 'Delivery Note', 'DN/24-25/031', d2, 'PHS/PO/0092', 'Patil Hardware & Sanitary', 73000, '',
             'Against SO/24-25/014, lorry MH12 KT 4471', '', '', '', '', '', '', '', 'PHS/PO/0092', '9-Apr-2024'],
            [2, 'Delivery Note', 'DN/24-25/031', d2, '', 'Sales - Local 18%', '', 73000, '',
             'OPC 53 Grade Cement 50kg', 200, 'Bag', 365, 'Pune Depot - Hadapsar', 'SO/24-25/014', 'LR-8812',
             '', ''],
            # Refused: the tiles were refused on the stock items sheet (no unit "sqft").
            [3, 'Delivery Note', 'DN/24-25/032', d2, '', 'Patil Hardware & Sanitary', 9000, '', 'Tiles', '', '',
             '', '', '', '', '', '', ''],
            [4, 'Delivery Note', 'DN/24-25/032', d2, '', 'Sales - Local 18%', '', 9000, '',
             'Vitrified Tiles 600x600', 200, 'sqft', 45, 'Pune Depot - Hadapsar', '', '', '', ''],
        ],
    )
    return [('VATTRANSACTIONSMC', invoices), ('ORDERS', orders), ('NOTES', notes)]


def stock_register_and_attendance():
    """The stock journals, physical stock, a sales register with its map and attendance, posted after the
    transactions; the masters they name join the master sheets above."""
    LEDGERS[1].extend([ledger('Sales - VAT 5%', 'Sales Accounts', billwise='No'),
                       ledger('Output VAT 5%', 'GST Output Liability', billwise='No')])
    COST_CENTRES[1].extend([['Ramesh Jadhav', 'Primary', ''], ['Farida Shaikh', 'Primary', '']])
    d1, d2 = datetime.date(2024, 4, 20), datetime.date(2024, 4, 30)
    stock_jv = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'ITEMNAME', 'NARRATION', 'QUANTITY', 'UNIT', 'RATE',
         'DIRECTION', 'AMOUNT', 'GODOWNNAME', 'BATCHNAME', 'BATCHQUANTITY', 'BATCHUNIT', 'BATCHAMOUNT'],
        [
            # Cement moved from the warehouse to the Pune depot, batch by batch.
            [1, 'Stock Journal', 'SJ-01', d1, 'TR/118', 'OPC 53 Grade Cement 50kg', 'Transfer to Pune', 300, 'Bag',
             365, 'OUT', 109500, 'Bhiwandi Warehouse', 'OPC-W11', 200, 'Bag', 73000],
            [2, 'Stock Journal', 'SJ-01', d1, '', '', '', '', '', '', '', '', 'Bhiwandi Warehouse - Bay 2', 'OPC-W12',
             100, 'Bag', 36500],
            [3, 'Stock Journal', 'SJ-01', d1, '', 'OPC 53 Grade Cement 50kg', '', 300, 'Bag', 365, 'IN', 109500,
             'Pune Depot - Hadapsar', 'OPC-W11', 300, 'Bag', 109500],
            # Refused: the godown "Transit - Nagpur" was refused on the godowns sheet.
            [4, 'Stock Journal', 'SJ-02', d1, 'TR/119', 'TMT Bar 12mm Fe500D', 'Transfer to Nagpur', 500, 'kg', 58.5,
             'OUT', 29250, 'Transit - Nagpur', 'TMT12-0324', 500, 'kg', 29250],
        ],
    )
    physical_stock = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'ITEMNAME', 'NARRATION', 'GODOWNNAME', 'BATCHNAME',
         'MFDDATE', 'BATCHQUANTITY', 'BATCHUNIT'],
        [
            # The month-end count of the warehouse.
            [1, 'Physical Stock', 'PS-01', d2, 'CNT/04', 'TMT Bar 12mm Fe500D', 'April count', 'Bhiwandi Warehouse',
             'TMT12-0324', '18-03-2024', 18350, 'kg'],
            [2, 'Physical Stock', 'PS-01', d2, 'CNT/04', 'Wall Putty 40kg', '', 'Pune Depot - Hadapsar', '', '', 138,
             'Bag'],
            # Refused: the item "Marine Plywood 18mm" was refused on the stock items sheet.
            [3, 'Physical Stock', 'PS-02', d2, 'CNT/05', 'Marine Plywood 18mm', 'Plywood count',
             'Bhiwandi Warehouse', '', '', 58, 'Nos'],
        ],
    )
    register = (
        ['VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'NARRATION', 'ADJMETHOD', 'ADJNAME', 'ADJDATE',
         'ADJAMOUNT', 'TOTALAMOUNT', 'SALES', 'VAT'],
        [
            ['Sales', 'SV-501', d1, 'PO 7781', 'Gupta Building Materials', 'Cement and putty', 'New Ref', 'SV-501',
             '30 Days', '52,500', '52,500', 50000, 2500],
            ['Sales', 'SV-502', d1, 'PO 7790', 'Patil Hardware & Sanitary', 'Binding wire', 'New Ref', 'SV-502',
             '45 Days', 8610, 8610, 8200, 410],
            # Refused: the ledger "Lakshmi Traders" was refused on the ledgers sheet.
            ['Sales', 'SV-503', d1, '', 'Lakshmi Traders', 'Putty', 'New Ref', 'SV-503', '30 Days', 15120, 15120,
             14400, 720],
        ],
    )
    register_map = (
        ['ColumnName', 'LedgerName', 'LedgerSign', 'Order', 'VATClassification', 'VATRate', 'AssessableColumn'],
        [
            ['TOTALAMOUNT', 'Auto', 'Dr', 1, '', '', ''],
            ['SALES', 'Sales - VAT 5%', 'Cr', 2, '', '', ''],
            ['VAT', 'Output VAT 5%', 'Cr', 3, 'Output VAT @ 5%', 5, 'SALES'],
        ],
    )
    attendance = (
        ['SRNO', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'NARRATION', 'EMPLOYEE', 'ATTENDANCETYPE', 'VALUE'],
        [
            [1, 'Attendance', 'AT-04', d2, '', 'April attendance', 'Ramesh Jadhav', 'Present', 25],
            [2, 'Attendance', 'AT-04', d2, '', 'April attendance', 'Farida Shaikh', 'Present', 23.5],
            # Refused: no such day as 31 April.
            [3, 'Attendance', 'AT-05', '31-04-2024', '', 'Typed wrong', 'Ramesh Jadhav', 'Present', 1],
        ],
    )
    return [('STOCKJV', stock_jv), ('PHYSICALSTOCK', physical_stock), ('VOUCHERREGISTER', register),
            ('VOUCHERREGISTERMap', register_map), ('ATTENDANCE', attendance)]

def invoices():
    """The ITEMTRANSACTIONS and VATTRANSACTIONS sheets: invoices of the STOCKITEMS sheet's items, keyed by
    an ID column so that a refused invoice is marked on all of its rows."""
    d1, d2 = datetime.date(2024, 4, 10), datetime.date(2024, 4, 12)
    itemised_columns = ['SRNO', 'ID', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT',
                        'NARRATION', 'ADJMETHOD', 'ADJNAME', 'ADJDATE', 'ADJAMOUNT', 'ITEMNAME', 'QUANTITY', 'UNIT',
                        'RATE', 'GODOWNNAME']

    def itemised(vch, kind, date, ledger, debit='', credit='', item='', quantity='', unit='', rate='', godown='',
                 bill='', narration=''):
        return [vch, kind, vch, date, '', ledger, debit, credit, narration, '', bill, '30 Days' if bill else '',
                (debit or credit) if bill else '', item, quantity, unit, rate, godown]

    sale, purchase = 'Sales', 'Purchase'
    itemised_rows = [
        itemised('KD/S/101', sale, d1, 'Patil Hardware & Sanitary', debit=34928, bill='KD/S/101',
                 narration='Putty and cement for the Pune counter'),
        itemised('KD/S/101', sale, d1, 'Sales - Local 18%', credit=14400, item='Wall Putty 40kg', quantity=20,
                 unit='Bag', rate=720, godown='Pune Depot - Hadapsar'),
        itemised('KD/S/101', sale, d1, 'Sales - Local 18%', credit=15200, item='OPC 53 Grade Cement 50kg',
                 quantity=40, unit='Bag', rate=380, godown='Pune Depot - Hadapsar'),
        itemised('KD/S/101', sale, d1, 'Output CGST 9%', credit=2664),
        itemised('KD/S/101', sale, d1, 'Output SGST 9%', credit=2664),
        itemised('KD/P/055', purchase, d2, 'Shree Balaji Steel Rolling Mills', credit='1,41,600',
                 bill='SBS/INV/2402', narration='Steel lot for Bhiwandi'),
        itemised('KD/P/055', purchase, d2, 'Purchase - Local 18%', debit=112000, item='TMT Bar 12mm Fe500D',
                 quantity=2000, unit='kg', rate=56, godown='Bhiwandi Warehouse'),
        itemised('KD/P/055', purchase, d2, 'Purchase - Local 18%', debit=8000, item='Binding Wire 18 SWG',
                 quantity=100, unit='kg', rate=80, godown='Bhiwandi Warehouse - Bay 2'),
        itemised('KD/P/055', purchase, d2, 'Input CGST 9%', debit=10800),
        itemised('KD/P/055', purchase, d2, 'Input SGST 9%', debit=10800),
        # Refused: the server refused the stock item "Vitrified Tiles 600x600".
        itemised('KD/S/102', sale, d2, 'Patil Hardware & Sanitary', debit=5000, narration='Tiles'),
        itemised('KD/S/102', sale, d2, 'Sales - Local 18%', credit=5000, item='Vitrified Tiles 600x600',
                 quantity=100, unit='sqft', rate=50),
    ]

    vat_columns = ['SRNO', 'ID', 'VCHTYPE', 'VCHNO', 'VCHDATE', 'REFNO', 'LEDGER', 'DEBIT', 'CREDIT', 'NARRATION',
                   'ADJMETHOD', 'ADJNAME', 'ADJDATE', 'ADJAMOUNT', 'VCHVIEWTYPE', 'ITEMNAME', 'ITEMDESCRIPTION', 'QUANTITY', 'UNIT', 'RATE',
                   'GODOWNNAME', 'BATCHNAME', 'ASSESSABLEAMT', 'TAXRATE', 'CONSIGNEE', 'CONSIGNEEADDRESS']

    def vat(vch, kind, date, ledger, debit='', credit='', bill='', item='', description='', quantity='', unit='',
            rate='', godown='', batch='', assessable='', taxrate='', consignee='', address='', narration=''):
        return [vch, kind, vch, date, '', ledger, debit, credit, narration, 'New Ref' if bill else '', bill,
                '30 Days' if bill else '', (debit or credit) if bill else '', 'Invoice', item, description, quantity, unit, rate, godown, batch, assessable, taxrate, consignee,
                address]

    vat_rows = [
        vat('KD/V/201', sale, d1, 'Gupta Building Materials', debit=47200, bill='KD/V/201',
            consignee='Gupta BM - Hinjewadi Site',
            address='Plot 7, Hinjewadi Phase 2~Near Wipro Circle~Pune 411057', narration='Rebar for the site'),
        vat('KD/V/201', sale, d1, 'Sales - Local 18%', credit=40000, item='TMT Bar 12mm Fe500D',
            description='Fe500D, 12 m lengths~Bundled and tagged', quantity=640, unit='kg', rate=62.5,
            godown='Bhiwandi Warehouse', batch='TMT12-0324'),
        vat('KD/V/201', sale, d1, 'Output CGST 9%', credit=3600, assessable=40000, taxrate='9%'),
        vat('KD/V/201', sale, d1, 'Output SGST 9%', credit=3600, assessable=40000, taxrate='9%'),
        vat('KD/V/PUR-88', purchase, d2, 'Ambuja Cement Dealers Co-op', credit=41300, bill='ACD/1250',
            narration='Cement for Bay 2'),
        vat('KD/V/PUR-88', purchase, d2, 'Purchase - Local 18%', debit=35000, item='OPC 53 Grade Cement 50kg',
            quantity=100, unit='Bag', rate=350, godown='Bhiwandi Warehouse - Bay 2', batch='OPC-W12'),
        vat('KD/V/PUR-88', purchase, d2, 'Input CGST 9%', debit=3150, assessable=35000, taxrate='9%'),
        vat('KD/V/PUR-88', purchase, d2, 'Input SGST 9%', debit=3150, assessable=35000, taxrate='9%'),
        # Refused: the server refused the stock item "Marine Plywood 18mm".
        vat('KD/V/202', sale, d2, 'Patil Hardware & Sanitary', debit=24500, narration='Plywood'),
        vat('KD/V/202', sale, d2, 'Sales - Local 18%', credit=24500, item='Marine Plywood 18mm', quantity=10,
            unit='Nos', rate=2450, godown='Bhiwandi Warehouse'),
    ]

    def numbered(rows):
        return [[n] + row for n, row in enumerate(rows, start=1)]

    return [('ITEMTRANSACTIONS', (itemised_columns, numbered(itemised_rows))),
            ('VATTRANSACTIONS', (vat_columns, numbered(vat_rows)))]


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
] + (format_voucher_sheets() + tax_and_bank_sheets() + item_vouchers() + stock_register_and_attendance() +
     invoices() + notes_cost_tax_sheets())


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
