#pragma once

namespace quibo::localdb {

// The name of the engine's file layer that the local database opens its file with: the platform's
// own, except that the frames a commit appends to the write-ahead journal reach the file in one write
// instead of two per page. Registered on the first call.
//
// Nothing is held back past the commit: the write of the commit's last page writes every frame
// gathered before it and reports its failure, so a commit that could not be written fails as it
// would without the gathering. Any other use of the journal (a read, a size, a truncation, a sync)
// and any use of the shared index writes what is gathered first.
const char* GatheredJournalVfs();

} // namespace quibo::localdb
