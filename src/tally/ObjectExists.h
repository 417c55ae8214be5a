#pragma once

#include <QString>

namespace quibo {

class TallyLink;

// Asks the server, through PostToTally, whether an object of the kind (the server's name for it, such
// as "LEDGER" or "STOCK ITEMS") and name is there, in the company it has open. Blocks until the server
// has answered.
//
// The object is taken to exist unless the answer carries "<ERRORMSG>" (once "&#4; " and "UDF:" are
// removed from it): an empty answer, as a failed exchange gives (reported by the link), takes it to
// exist too. A request that never went out (its text does not parse, reported by the link) and an
// error before the answer is in give false.

// False at once, without a request, unless `ask` is true. Escapes the type and the name with EscapeXml.
// Errors are reported (C03--0011) and give false.
bool TallyObjectExists(TallyLink& link, const QString& objectType, const QString& objectName, bool ask);

// Always asks and inserts both texts unchanged: the caller escapes them. Errors are reported
// (C03--0010) and give false.
bool TallyObjectExistsRaw(TallyLink& link, const QString& objectType, const QString& objectName);

// The skip test of master posting: asks as TallyObjectExists does (the `ask` flag, the escapes,
// C03--0011), but only an answer that came back without "<ERRORMSG>" counts. With no answer nothing
// is known of the object, so its master is posted and the failure shows on its row.
bool TallyObjectKnownToExist(TallyLink& link, const QString& objectType, const QString& objectName, bool ask);

} // namespace quibo
