// Reads one table through the program's ODBC backend, as a load does, and prints its row count.
//   quibo_odbc_read DSN USER PASSWORD TABLE
// odbc_bench.py times it (and its peak memory) beside a bare block-fetch loop and isql; it tells on
// stderr how many times the query ran (odbc_cases.py).

#include "bench/odbc/StartUp.h"
#include "sources/backends/Connection.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/odbc/OdbcSource.h"
#include "vb/RuntimeError.h"

#include <cstdio>

int main(int argc, char** argv) {
    QuiboBenchStartUp();
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s DSN USER PASSWORD TABLE\n", argv[0]);
        return 2;
    }
    try {
        auto source = quibo::OpenConnection(quibo::OdbcConnectionString(QString::fromUtf8(argv[1])),
                                            QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]));
        // The table as the source spells it, found as the loaders find it.
        QString name = QString::fromUtf8(argv[4]);
        for (const QString& listed : source->tables())
            if (listed.compare(name, Qt::CaseInsensitive) == 0) name = listed;
        const quibo::SourceTable table = source->read(name);
        std::printf("%d\n", table.recordCount());
        // How many times the query ran, for odbc_cases.py.
        if (const auto* odbc = dynamic_cast<const quibo::OdbcSource*>(source.get()))
            std::fprintf(stderr, "executions %zu\nblock rows %zu\n", odbc->executions(), odbc->blockRows());
        return 0;
    } catch (const quibo::vb::RuntimeError& e) {
        std::fprintf(stderr, "%s\n", e.description().toUtf8().constData());
        return 1;
    }
}
