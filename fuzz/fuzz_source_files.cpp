// Random bytes as a source file of one kind (chosen at build time by QUIBO_FUZZ_KIND): the backend
// lists its tables and reads each. It may refuse the file with a run-time error; it must not crash,
// hang or read outside what it was given.

#include "fuzz/FuzzFile.h"
#include "sources/backends/access/AccessSource.h"
#include "sources/backends/text/TextSource.h"
#include "sources/backends/xls/XlsSource.h"
#include "sources/backends/xlsx/XlsxSource.h"
#include "vb/RuntimeError.h"

#include <QFileInfo>

#include <memory>
#include <new>

namespace {

std::unique_ptr<quibo::Source> Open(const QString& path) {
#if QUIBO_FUZZ_KIND == 1
    return std::make_unique<quibo::XlsxSource>(path);
#elif QUIBO_FUZZ_KIND == 2
    return std::make_unique<quibo::TextSource>(QFileInfo(path).absolutePath());
#elif QUIBO_FUZZ_KIND == 3
    return std::make_unique<quibo::XlsSource>(path);
#else
    return std::make_unique<quibo::AccessSource>(path);
#endif
}

const char* const Names[] = {"", "book.xlsx", "units.csv", "book.xls", "books.mdb"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = quibo::fuzz::FileOf(data, size, QString::fromLatin1(Names[QUIBO_FUZZ_KIND]));
    try {
        const std::unique_ptr<quibo::Source> source = Open(path);
        for (const QString& table : source->tables())
            source->read(table);
    } catch (const quibo::vb::RuntimeError&) {
        // A refusal, in the program's words: what a broken file should give.
    } catch (const std::bad_alloc&) {
        // The parser of a text source reports its own allocation failure so.
    }
    return 0;
}
