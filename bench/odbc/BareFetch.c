/* The driver's limit: a bare loop that fetches a query's rows in blocks into bound buffers, each
 * column as the program's backend asks for it (whole numbers as 64-bit integers, floating point as
 * doubles, decimals as text, everything else as text), and does nothing with them. Texts are fetched
 * wide (UTF-16, SQL_C_WCHAR) or, with "narrow", as the driver's bytes (SQL_C_CHAR, UTF-8 from the
 * drivers measured); a text of no stated length, or one over 4,000 characters, is bound at 4,000. It
 * starts as the program does (StartUp.cpp), as the reader it is set beside does.
 *   quibo_odbc_bare DSN USER PASSWORD SQL [narrow]      prints the row count */
#include "bench/odbc/StartUp.h"

#include <sql.h>
#include <sqlext.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void fail(SQLSMALLINT type, SQLHANDLE handle, const char* what) {
    SQLCHAR state[6], text[1024];
    SQLINTEGER native;
    SQLSMALLINT length;
    fprintf(stderr, "%s failed", what);
    if (SQL_SUCCEEDED(SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &length)))
        fprintf(stderr, ": %s", (const char*)text);
    fprintf(stderr, "\n");
    exit(1);
}

int main(int argc, char** argv) {
    QuiboBenchStartUp();
    if (argc != 5 && !(argc == 6 && strcmp(argv[5], "narrow") == 0)) {
        fprintf(stderr, "usage: %s DSN USER PASSWORD SQL [narrow]\n", argv[0]);
        return 2;
    }
    const int narrow = argc == 6;
    SQLHENV env;
    SQLHDBC dbc;
    SQLHSTMT stmt;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, (SQLPOINTER)SQL_OV_ODBC3, 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    char password[512] = "", connection[1024];
    for (size_t i = 0, o = 0; argv[3][i] && o + 2 < sizeof password; ++i) {
        password[o++] = argv[3][i];
        if (argv[3][i] == '}') password[o++] = '}'; /* "}" is doubled inside braces */
        password[o] = 0;
    }
    snprintf(connection, sizeof connection, "DSN=%s;UID=%s;PWD={%s}", argv[1], argv[2], password);
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, NULL, (SQLCHAR*)connection, SQL_NTS, NULL, 0, NULL,
                                        SQL_DRIVER_NOPROMPT)))
        fail(SQL_HANDLE_DBC, dbc, "connect");
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    if (!SQL_SUCCEEDED(SQLExecDirect(stmt, (SQLCHAR*)argv[4], SQL_NTS))) fail(SQL_HANDLE_STMT, stmt, "query");
    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt, &count);
    SQLSMALLINT* types = calloc((size_t)count, sizeof *types);
    SQLLEN* widths = calloc((size_t)count, sizeof *widths);
    size_t rowBytes = 0;
    for (SQLUSMALLINT c = 1; c <= (SQLUSMALLINT)count; ++c) {
        SQLCHAR name[256];
        SQLSMALLINT nameLength, type, digits, nullable;
        SQLULEN size;
        SQLDescribeCol(stmt, c, name, sizeof name, &nameLength, &type, &size, &digits, &nullable);
        switch (type) {
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            types[c - 1] = SQL_C_SBIGINT, widths[c - 1] = 8;
            break;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            types[c - 1] = SQL_C_DOUBLE, widths[c - 1] = 8;
            break;
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            types[c - 1] = SQL_C_CHAR, widths[c - 1] = (SQLLEN)(size ? size + 4 : 64);
            break;
        case SQL_BIT:
            types[c - 1] = SQL_C_BIT, widths[c - 1] = 1;
            break;
        default:
            if (size == 0 || size > 4000) size = 4000;
            if (narrow) /* up to four UTF-8 bytes a character */
                types[c - 1] = SQL_C_CHAR, widths[c - 1] = (SQLLEN)(4 * size + 1);
            else
                types[c - 1] = SQL_C_WCHAR, widths[c - 1] = (SQLLEN)((2 * size + 1) * sizeof(SQLWCHAR));
        }
        rowBytes += (size_t)widths[c - 1];
    }
    SQLULEN rows = (1u << 20) / (rowBytes ? rowBytes : 1);
    if (rows < 1) rows = 1;
    if (rows > 1024) rows = 1024;
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, (SQLPOINTER)rows, 0))) rows = 1;
    SQLULEN fetched = 0;
    SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    for (SQLUSMALLINT c = 1; c <= (SQLUSMALLINT)count; ++c) {
        char* data = malloc(rows * (size_t)widths[c - 1]);
        SQLLEN* indicators = malloc(rows * sizeof *indicators);
        SQLBindCol(stmt, c, types[c - 1], data, widths[c - 1], indicators);
    }
    unsigned long total = 0;
    for (;;) {
        SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) fail(SQL_HANDLE_STMT, stmt, "fetch");
        total += fetched;
    }
    printf("%lu\n", total);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return 0;
}
