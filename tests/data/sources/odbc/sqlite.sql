-- The ODBC driver suite's tables on SQLite, which holds no exact decimals: a NUMERIC column keeps a
-- whole number exactly and any other as a double; its driver describes a DECIMAL column as a varchar.
create table Transactions (SrNo integer, Ledger varchar(40), Amount numeric(12, 2));
insert into Transactions values (10, 'Sales', 2500.75), (2, 'Sales', 10), (9, 'Cash', -5), (1, 'Cash', 1500),
  (3, 'Cash', 0.5);
create table Numbers (Id integer, Account numeric(18, 0), Amount numeric(16, 2), Rate real, Ratio double,
  Exact decimal(30, 3));
insert into Numbers values (1, 501004567812345678, '12345678901234.56', 82.3, 0.1, 1.10),
  (2, 0, 100.50, 0.1, 2.5, 0.010), (3, -42, -0.50, 1234.567, -1e-7, '-12345678901234567890.125'),
  (4, null, 0.00, null, null, null);
create table Texts (Id integer, Name varchar(20), Note text);
insert into Texts values (1, 'नकद खाता ₹', ''), (2, 'D''Souza', null),
  (3, 'Long', replace(hex(zeroblob(70000)), '00', 'Ü'));
create table Empty (Name varchar(10), Amount numeric(10, 2));
create view TextNames as select Name from Texts;
-- Characters in runs of 32 from the first of each range, the first code point the Id.
create table Scripts (Id integer, Chars varchar(40));
with recursive ranges(b, e) as (values (128, 2047), (2304, 2431), (65536, 65551), (128192, 128223)),
  starts(s, e) as (select b, e from ranges union all select s + 32, e from starts where s + 32 <= e),
  points(s, c, e) as (select s, s, e from starts union all select s, c + 1, e from points where c < min(s + 31, e))
insert into Scripts select s, group_concat(char(c), '') from (select s, c from points order by s, c) group by s;
-- TEXT values, most short, a few longer than a first buffer, one far longer.
create table Notes (Id integer, Note text);
with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000)
insert into Notes select i, case when i % 700 = 0 then replace(hex(zeroblob(1000)), '00', 'ü')
  when i = 2500 then replace(hex(zeroblob(20000)), '00', 'x') else 'Note ' || i end from n;
-- 20 TEXT columns, each longer than a first buffer in one row of its own, each in another block.
create table Sparse (Id integer, T1 text, T2 text, T3 text, T4 text, T5 text, T6 text, T7 text, T8 text, T9 text, T10 text, T11 text, T12 text, T13 text, T14 text, T15 text, T16 text, T17 text, T18 text, T19 text, T20 text);
with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000)
insert into Sparse select i, case when i = 107 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 207 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 307 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 407 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 507 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 607 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 707 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 807 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 907 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1007 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1107 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1207 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1307 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1407 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1507 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1607 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1707 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1807 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 1907 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end, case when i = 2007 then replace(hex(zeroblob(600)), '00', 'x') else 'short' end
  from n;
create table Blanks (Id integer, Name varchar(10));
with recursive n(i) as (select 1 union all select i + 1 from n where i < 5000) insert into Blanks select i, '' from n;
-- SQLite holds a whole number past 2^63 - 1 only as a double, or as its digits.
create table Big (Id integer, Value varchar(20));
insert into Big values (1, '18446744073709551615'), (2, '9223372036854775808'), (3, '42');
create table VoucherRegister (VchType varchar(20), Ledger varchar(40), Amount1 numeric(12, 2));
insert into VoucherRegister values ('Sales', 'Party', 1000);
create table VoucherRegisterMap (ColumnName varchar(40), LedgerName varchar(40), LedgerSign varchar(2),
  "Order" integer);
insert into VoucherRegisterMap values ('Amount1', 'Sales', 'Cr', 1);
create table Dates (Id integer, Opened date, Shift time);
insert into Dates values (1, '2024-04-01', '07:00:00'), (2, null, null), (3, '1999-12-31', '23:59:59');
