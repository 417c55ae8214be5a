-- The two voucher formats of the demo, as a user's local database "Quibo20.DAT" holds them.
-- scripts/demo writes them into its scratch local database before it posts the sheets
-- TRANSACTIONSGST and PETTYCASH of QuiboSample.xls.
--
-- QuiboMst_: a format (TName, the import type; TType, the element of one voucher; TNo).
-- QuiboDet_: a tag of a format: "A" an attribute, "N" a value, "C" "IF ... THEN ... ELSE ...";
--   DefValue a fixed value, else fieldName a column ("{#k}" grid column k); ValFormat "NUMBER" two
--   decimals. The voucher's attributes and SetNo 1 tags come from its first row.
-- QuiboGrp_: a group element under ParentName, filled from the tags of its SetNo once per row.

-- TRANSACTIONSGST: one ledger line a row, AMOUNT negative for a debit.
INSERT INTO QuiboMst_ (TName, TType, TNo) VALUES ('TRANSACTIONSGST', 'VOUCHER', 1);
INSERT INTO QuiboDet_ (TNo, SetNo, SrNo, GroupName, TagName, TagType, ValFormat, DefValue, fieldName) VALUES
  (1, 1, 0, 'VOUCHER', 'VCHTYPE', 'A', '', NULL, 'VCHTYPE'),
  (1, 1, 0, 'VOUCHER', 'ACTION', 'A', '', 'Create', NULL),
  (1, 1, 1, 'VOUCHER', 'DATE', 'N', '', NULL, 'VCHDATE'),
  (1, 1, 2, 'VOUCHER', 'VOUCHERTYPENAME', 'N', '', NULL, 'VCHTYPE'),
  (1, 1, 3, 'VOUCHER', 'VOUCHERNUMBER', 'N', '', NULL, 'VCHNO'),
  (1, 1, 4, 'VOUCHER', 'NARRATION', 'N', '', NULL, 'NARRATION'),
  (1, 2, 1, 'LEDGERENTRIES.LIST', 'LEDGERNAME', 'N', '', NULL, 'LEDGER'),
  (1, 2, 2, 'LEDGERENTRIES.LIST', 'ISDEEMEDPOSITIVE', 'C', '', NULL, 'IF {AMOUNT} < 0 THEN Yes ELSE No'),
  (1, 2, 3, 'LEDGERENTRIES.LIST', 'AMOUNT', 'N', 'NUMBER', NULL, 'AMOUNT');
INSERT INTO QuiboGrp_ (TNo, ParentName, SetNo, GroupName, SetOn) VALUES
  (1, 'VOUCHER', 2, 'LEDGERENTRIES.LIST', NULL);

-- PETTYCASH: cash payments, a voucher keyed by its number (VOUCHERNO) and date (column 2).
INSERT INTO QuiboMst_ (TName, TType, TNo) VALUES ('PETTYCASH', 'VOUCHER', 2);
INSERT INTO QuiboDet_ (TNo, SetNo, SrNo, GroupName, TagName, TagType, ValFormat, DefValue, fieldName) VALUES
  (2, 1, 0, 'VOUCHER', 'VCHTYPE', 'A', '', 'Payment', NULL),
  (2, 1, 0, 'VOUCHER', 'ACTION', 'A', '', 'Create', NULL),
  (2, 1, 1, 'VOUCHER', 'DATE', 'N', '', NULL, '{#2}'),
  (2, 1, 2, 'VOUCHER', 'VOUCHERTYPENAME', 'N', '', 'Payment', NULL),
  (2, 1, 3, 'VOUCHER', 'VOUCHERNUMBER', 'N', '', NULL, 'VOUCHERNO'),
  (2, 1, 4, 'VOUCHER', 'NARRATION', 'N', '', NULL, 'NOTE'),
  (2, 2, 1, 'LEDGERENTRIES.LIST', 'LEDGERNAME', 'N', '', NULL, 'NAME'),
  (2, 2, 2, 'LEDGERENTRIES.LIST', 'ISDEEMEDPOSITIVE', 'C', '', NULL, 'IF {AMOUNT} < 0 THEN Yes ELSE No'),
  (2, 2, 3, 'LEDGERENTRIES.LIST', 'AMOUNT', 'N', 'NUMBER', NULL, 'AMOUNT');
INSERT INTO QuiboGrp_ (TNo, ParentName, SetNo, GroupName, SetOn) VALUES
  (2, 'VOUCHER', 2, 'LEDGERENTRIES.LIST', NULL);
