#pragma once

#include <QString>

namespace quibo {

class TallyLink;

// Asks the server, through PostToTally, whether an object of the kind (the server's name for it, such
// as "LEDGER" or "STOCK ITEMS") and name is there, in the company it has open. The object is taken to
// exist unless the answer carries "<ERRORMSG>"; an exchange that failed (PostToTally gave "", and has
// reported why) tells nothing, so the object is not taken to exist and its master gets posted.
// Blocks until the server has answered.

// False at once, without a request, unless `ask` is true. Escapes the type and the name with EscapeXml.
// Errors are reported (C03--0011) and give false.
bool TallyObjectExists(TallyLink& link, const QString& objectType, const QString& objectName, bool ask);

// Always asks and inserts both texts unchanged: the caller escapes them. Errors are reported
// (C03--0010) and give false.
bool TallyObjectExistsRaw(TallyLink& link, const QString& objectType, const QString& objectName);

} // namespace quibo
