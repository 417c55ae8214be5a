// The program's own start-up, as its main does it before anything else takes the heap, for the reader
// and the bare loop alike: timed without it, either side's ratio moves with where its heap's pages fall.

#include "bench/odbc/StartUp.h"

#include "core/LargeBlocks.h"

extern "C" void QuiboBenchStartUp(void) {
    quibo::core::PutHeapOnLargePages(size_t(256) << 20); // the size src/app/main.cpp gives
}
