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
