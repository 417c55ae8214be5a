-- The ODBC driver suite's tables on PostgreSQL, written as a PostgreSQL user writes them: names
-- unquoted, so the server folds them to lower case (SrNo is the column srno).
create table transactions (SrNo integer, Ledger varchar(40), Amount numeric(12, 2));
insert into transactions values (10, 'Sales', 2500.75), (2, 'Sales', 10), (9, 'Cash', -5), (1, 'Cash', 1500),
  (3, 'Cash', 0.5);
create table numbers (Id integer, Account numeric(18, 0), Amount numeric(16, 2), Rate real, Ratio double precision,
  Exact numeric);
insert into numbers values (1, 501004567812345678, 12345678901234.56, 82.3, 0.1, 1.10),
  (2, 0, 100.50, 0.1, 2.5, 0.010), (3, -42, -0.50, 1234.567, -1e-7, -12345678901234567890.125),
  (4, null, 0.00, null, null, null);
create table texts (Id integer, Name varchar(20), Note text);
insert into texts values (1, 'नकद खाता ₹', ''), (2, 'D''Souza', null), (3, 'Long', repeat('Ü', 70000));
create table empty (Name varchar(10), Amount numeric(10, 2));
create view textnames as select Name from texts;
-- A table of the same name in another schema of the database is still one table name.
create schema archive;
create table archive.texts (Id integer);
-- A table only off the search path, which a bare name cannot read: not offered.
create table archive.units (Name varchar(10));
-- Characters in runs of 32 from the first of each range, the first code point the Id.
create table scripts (Id integer, Chars varchar(40));
insert into scripts
  select s, (select string_agg(chr(c), '' order by c) from generate_series(s, least(s + 31, e)) c)
  from (values (128, 2047), (2304, 2431), (65536, 65551), (128192, 128223)) r(b, e), generate_series(b, e, 32) s;
-- TEXT values, most short, a few longer than a first buffer, one far longer.
create table notes (Id integer, Note text);
insert into notes select i, case when i % 700 = 0 then repeat('ü', 1000) when i = 2500 then repeat('x', 20000)
  else 'Note ' || i end from generate_series(1, 3000) i;
-- 20 TEXT columns, each longer than a first buffer in one row of its own, each in another block.
create table sparse (Id integer, T1 text, T2 text, T3 text, T4 text, T5 text, T6 text, T7 text, T8 text, T9 text, T10 text, T11 text, T12 text, T13 text, T14 text, T15 text, T16 text, T17 text, T18 text, T19 text, T20 text);
insert into sparse select i, case when i = 107 then repeat('x', 600) else 'short' end, case when i = 207 then repeat('x', 600) else 'short' end, case when i = 307 then repeat('x', 600) else 'short' end, case when i = 407 then repeat('x', 600) else 'short' end, case when i = 507 then repeat('x', 600) else 'short' end, case when i = 607 then repeat('x', 600) else 'short' end, case when i = 707 then repeat('x', 600) else 'short' end, case when i = 807 then repeat('x', 600) else 'short' end, case when i = 907 then repeat('x', 600) else 'short' end, case when i = 1007 then repeat('x', 600) else 'short' end, case when i = 1107 then repeat('x', 600) else 'short' end, case when i = 1207 then repeat('x', 600) else 'short' end, case when i = 1307 then repeat('x', 600) else 'short' end, case when i = 1407 then repeat('x', 600) else 'short' end, case when i = 1507 then repeat('x', 600) else 'short' end, case when i = 1607 then repeat('x', 600) else 'short' end, case when i = 1707 then repeat('x', 600) else 'short' end, case when i = 1807 then repeat('x', 600) else 'short' end, case when i = 1907 then repeat('x', 600) else 'short' end, case when i = 2007 then repeat('x', 600) else 'short' end
  from generate_series(1, 3000) i;
create table blanks (Id integer, Name varchar(10));
insert into blanks select i, '' from generate_series(1, 5000) i;
create table big (Id integer, Value numeric(20, 0));
insert into big values (1, 18446744073709551615), (2, 9223372036854775808), (3, 42);
-- A register and its map, created unquoted: the server keeps them as voucherregister(map).
create table VoucherRegister (VchType varchar(20), Ledger varchar(40), Amount1 numeric(12, 2));
insert into VoucherRegister values ('Sales', 'Party', 1000);
create table VoucherRegisterMap (ColumnName varchar(40), LedgerName varchar(40), LedgerSign varchar(2),
  "Order" integer);
insert into VoucherRegisterMap values ('Amount1', 'Sales', 'Cr', 1);
create table Dates (Id integer, Opened date, Shift time);
insert into Dates values (1, '2024-04-01', '07:00:00'), (2, null, null), (3, '1999-12-31', '23:59:59');
