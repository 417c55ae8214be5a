#pragma once

#include <QString>
#include <QStringList>

namespace quibo {

class HttpTransport;

// The questions the Refresh command asks the Tally server before anything is posted. Each takes the
// server URL from its caller, sends its own request text as it stands and waits for the answer (the
// transport's time-outs are the only ones). None reports an error: a query that fails ends quietly
// with the failure value given below, and the caller decides what the user sees.

// True when anything at all answers a GET carrying the company collection request, whatever its
// status or content. Failure: false.
bool IsTallyRunning(HttpTransport& transport, const QString& serverUrl);

// The text of the first RESPONSE element of the reply to an empty POST; "Tally ees 6.3 Server is
// Running." when the reply holds none (or is no XML). Failure: "".
QString GetTallyServerBanner(HttpTransport& transport, const QString& serverUrl);

// The company list: the n names the server gave, in reply order, then one empty text (n + 1 texts).
// A reply without names gives ("", the whole reply), so the caller can look for an error in it.
// Failure: ("No Company Found.", "").
// GetCompanyListOld asks with the "List of Companies" report and reads COMPANYNAME elements;
// GetCompanyList asks for the Company collection and reads NAME elements.
QStringList GetCompanyListOld(HttpTransport& transport, const QString& serverUrl);
QStringList GetCompanyList(HttpTransport& transport, const QString& serverUrl);

// Empties `currentCompany`, asks the server for its session parameters and sets `currentCompany`
// from the line labelled exactly "Current Company". A failure leaves it as far as it got.
void GetTallySessionInfo(HttpTransport& transport, const QString& serverUrl, QString& currentCompany);

// GetTallySessionInfo, then the company it found ("" when none is open or the query failed).
QString GetCurrentCompany(HttpTransport& transport, const QString& serverUrl, QString& currentCompany);

} // namespace quibo
