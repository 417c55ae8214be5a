-- The ODBC driver suite's tables on MariaDB. The user also sees the database "other", whose tables
-- the data source must not list.
create table Transactions (SrNo integer, Ledger varchar(40), Amount decimal(12, 2));
insert into Transactions values (10, 'Sales', 2500.75), (2, 'Sales', 10), (9, 'Cash', -5), (1, 'Cash', 1500),
  (3, 'Cash', 0.5);
create table Numbers (Id integer, Account decimal(18, 0), Amount decimal(16, 2), Rate float, Ratio double,
  Exact decimal(30, 3));
insert into Numbers values (1, 501004567812345678, 12345678901234.56, 82.3, 0.1, 1.10),
  (2, 0, 100.50, 0.1, 2.5, 0.010), (3, -42, -0.50, 1234.567, -1e-7, -12345678901234567890.125),
  (4, null, 0.00, null, null, null);
create table Texts (Id integer, Name varchar(20), Note mediumtext) character set utf8mb4;
insert into Texts values (1, 'नकद खाता ₹', ''), (2, 'D''Souza', null), (3, 'Long', repeat('Ü', 70000));
create table Empty (Name varchar(10), Amount decimal(10, 2));
create view TextNames as select Name from Texts;
create table other.Units (Name varchar(10));
create table other.Texts (Id integer);
-- Characters in runs of 32 from the first of each range, the first code point the Id.
create table Scripts (Id integer, Chars varchar(40)) character set utf8mb4;
insert into Scripts
  select s.seq, (select group_concat(convert(char(c.seq using utf32) using utf8mb4) order by c.seq separator '')
                 from seq_0_to_130000 c where c.seq between s.seq and least(s.seq + 31, r.e))
  from (select 128 b, 2047 e union all select 2304, 2431 union all select 65536, 65551
        union all select 128192, 128223) r
  join seq_0_to_130000 s on s.seq between r.b and r.e and (s.seq - r.b) % 32 = 0;
-- TEXT values, most short, a few longer than a first buffer, one far longer.
create table Notes (Id integer, Note text) character set utf8mb4;
insert into Notes select seq, case when seq % 700 = 0 then repeat('ü', 1000) when seq = 2500 then repeat('x', 20000)
  else concat('Note ', seq) end from seq_1_to_3000;
-- 20 TEXT columns, each longer than a first buffer in one row of its own, each in another block.
create table Sparse (Id integer, T1 text, T2 text, T3 text, T4 text, T5 text, T6 text, T7 text, T8 text, T9 text, T10 text, T11 text, T12 text, T13 text, T14 text, T15 text, T16 text, T17 text, T18 text, T19 text, T20 text) character set utf8mb4;
insert into Sparse select seq, case when seq = 107 then repeat('x', 600) else 'short' end, case when seq = 207 then repeat('x', 600) else 'short' end, case when seq = 307 then repeat('x', 600) else 'short' end, case when seq = 407 then repeat('x', 600) else 'short' end, case when seq = 507 then repeat('x', 600) else 'short' end, case when seq = 607 then repeat('x', 600) else 'short' end, case when seq = 707 then repeat('x', 600) else 'short' end, case when seq = 807 then repeat('x', 600) else 'short' end, case when seq = 907 then repeat('x', 600) else 'short' end, case when seq = 1007 then repeat('x', 600) else 'short' end, case when seq = 1107 then repeat('x', 600) else 'short' end, case when seq = 1207 then repeat('x', 600) else 'short' end, case when seq = 1307 then repeat('x', 600) else 'short' end, case when seq = 1407 then repeat('x', 600) else 'short' end, case when seq = 1507 then repeat('x', 600) else 'short' end, case when seq = 1607 then repeat('x', 600) else 'short' end, case when seq = 1707 then repeat('x', 600) else 'short' end, case when seq = 1807 then repeat('x', 600) else 'short' end, case when seq = 1907 then repeat('x', 600) else 'short' end, case when seq = 2007 then repeat('x', 600) else 'short' end
  from seq_1_to_3000;
create table Blanks (Id integer, Name varchar(10));
insert into Blanks select seq, '' from seq_1_to_5000;
create table Big (Id integer, Value bigint unsigned);
insert into Big values (1, 18446744073709551615), (2, 9223372036854775808), (3, 42);
create table VoucherRegister (VchType varchar(20), Ledger varchar(40), Amount1 decimal(12, 2));
insert into VoucherRegister values ('Sales', 'Party', 1000);
create table VoucherRegisterMap (ColumnName varchar(40), LedgerName varchar(40), LedgerSign varchar(2),
  `Order` integer);
insert into VoucherRegisterMap values ('Amount1', 'Sales', 'Cr', 1);
create table Dates (Id integer, Opened date, Shift time);
insert into Dates values (1, '2024-04-01', '07:00:00'), (2, null, null), (3, '1999-12-31', '23:59:59');
