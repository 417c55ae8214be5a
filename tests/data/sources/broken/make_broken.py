#!/usr/bin/python3
"""Writes the broken .xlsx workbooks beside this script (standard library only).

    /usr/bin/python3 tests/data/sources/broken/make_broken.py

  missing-sheet.xlsx  the sheet UNITS is listed, its part xl/worksheets/sheet1.xml is not in the package
  broken-sheet.xlsx   the sheet UNITS's part stops in the middle of a row
  broken-workbook.xlsx  xl/workbook.xml is not XML
  inflating.xlsx      the sheet UNITS's part unpacks to 2 MiB from a few KiB (for a test's small bound)
Commit what it writes.
"""
import os
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))

TYPES = ('<?xml version="1.0" encoding="UTF-8"?>'
         '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
         '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
         '<Default Extension="xml" ContentType="application/xml"/></Types>')
RELS = ('<?xml version="1.0" encoding="UTF-8"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
        'officeDocument" Target="xl/workbook.xml"/></Relationships>')
WORKBOOK = ('<?xml version="1.0" encoding="UTF-8"?>'
            '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
            'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
            '<sheets><sheet name="UNITS" sheetId="1" r:id="rId1"/></sheets></workbook>')
WORKBOOK_RELS = ('<?xml version="1.0" encoding="UTF-8"?>'
                 '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                 '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/'
                 'relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>')
SHEET_HEAD = ('<?xml version="1.0" encoding="UTF-8"?>'
              '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>')
ROW1 = ('<row r="1"><c r="A1" t="inlineStr"><is><t>NAME</t></is></c>'
        '<c r="B1" t="inlineStr"><is><t>ISSIMPLEUNIT</t></is></c></row>')
ROW2 = ('<row r="2"><c r="A2" t="inlineStr"><is><t>Nos</t></is></c>'
        '<c r="B2" t="inlineStr"><is><t>Yes</t></is></c></row>')


def write(name, parts):
    with zipfile.ZipFile(os.path.join(HERE, name), 'w', zipfile.ZIP_DEFLATED) as z:
        for part, text in parts:
            info = zipfile.ZipInfo(part, date_time=(2024, 4, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, text)


BASE = [('[Content_Types].xml', TYPES), ('_rels/.rels', RELS), ('xl/_rels/workbook.xml.rels', WORKBOOK_RELS)]
write('missing-sheet.xlsx', BASE + [('xl/workbook.xml', WORKBOOK)])
write('broken-sheet.xlsx', BASE + [('xl/workbook.xml', WORKBOOK),
                                   ('xl/worksheets/sheet1.xml', SHEET_HEAD + ROW1 + '<row r="2"><c r="A2" t=')])
write('broken-workbook.xlsx', BASE + [('xl/workbook.xml', '<workbook><sheets>'),
                                      ('xl/worksheets/sheet1.xml', SHEET_HEAD + ROW1 + '</sheetData></worksheet>')])
rows = '<row/>' * (2 * 1024 * 1024 // 6)
write('inflating.xlsx', BASE + [('xl/workbook.xml', WORKBOOK),
                                ('xl/worksheets/sheet1.xml', SHEET_HEAD + ROW1 + ROW2 + rows + '</sheetData></worksheet>')])
