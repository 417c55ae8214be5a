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
