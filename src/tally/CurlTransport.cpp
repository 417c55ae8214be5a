#include "tally/CurlTransport.h"

#include <curl/curl.h>

#include <mutex>
#include <new>
#include <utility>

namespace quibo {

namespace {

size_t AppendBody(char* data, size_t size, size_t count, void* target) {
    static_cast<QByteArray*>(target)->append(data, qsizetype(size * count));
    return size * count;
}

// Frees the list on every exit.
struct HeaderList {
    curl_slist* list = nullptr;
    ~HeaderList() { curl_slist_free_all(list); }
    void add(const QByteArray& line) {
        curl_slist* grown = curl_slist_append(list, line.constData());
        if (!grown) throw std::bad_alloc();
        list = grown;
    }
};

// Called before the request goes out, on a connection made or reused. libcurl calls it again when it
// is about to send the request a second time (after a reused connection was lost unanswered); the
// transfer then ends instead.
int RefuseASecondSend(void* sends, char*, char*, int, int) {
    return ++*static_cast<int*>(sends) > 1 ? CURL_PREREQFUNC_ABORT : CURL_PREREQFUNC_OK;
}

} // namespace

static_assert(sizeof(CurlTransport::ErrorText) >= CURL_ERROR_SIZE);

CurlTransport::CurlTransport(HttpTimeouts timeouts) : m_timeouts(timeouts) {
    static std::once_flag initialized;
    std::call_once(initialized, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    // libcurl would add "Expect: 100-continue" to larger bodies and label every body as a form;
    // the server expects neither, so both are switched off unless the caller names a content type.
    HeaderList plain;
    plain.add("Expect:");
    plain.add("Content-Type:");
    m_curl = curl_easy_init();
    if (!m_curl) throw std::bad_alloc();
    m_plainHeaders = std::exchange(plain.list, nullptr);

    // What every request sets alike is set once; a request changes only its own options and puts
    // them back after it, so the handle sends the same bytes as a handle set up anew.
    CURL* curl = static_cast<CURL*>(m_curl);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // The server is reached directly, as the system's own HTTP layer does; a proxy named in the
    // environment is for the user's web traffic, not for the accounting server on the LAN.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, m_timeouts.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_timeouts.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, m_errorText);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendBody);
}

CurlTransport::~CurlTransport() {
    curl_easy_cleanup(static_cast<CURL*>(m_curl));
    curl_slist_free_all(static_cast<curl_slist*>(m_plainHeaders));
}

HttpReply CurlTransport::post(const QString& url, const QByteArray& body, const QStringList& headers) {
    return perform("POST", url, body, headers);
}

HttpReply CurlTransport::postOnce(const QString& url, const QByteArray& body) {
    return perform("POST", url, body, {}, Sending::Once);
}

HttpReply CurlTransport::getWithBody(const QString& url, const QByteArray& body) {
    return perform("GET", url, body, {});
}

HttpReply CurlTransport::perform(const char* method, const QString& url, const QByteArray& body,
                                 const QStringList& headers, Sending sending) {
    CURL* curl = static_cast<CURL*>(m_curl);
    const bool customMethod = qstrcmp(method, "POST") != 0;
    const bool once = sending == Sending::Once;
    // The handle must not keep pointers to this call's buffers; the open connection stays for reuse.
    struct RestoreOptions {
        CURL* curl;
        bool customMethod;
        bool once;
        ~RestoreOptions() {
            curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
            curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
            if (customMethod) curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, nullptr);
            if (once) {
                curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, nullptr);
                curl_easy_setopt(curl, CURLOPT_PREREQDATA, nullptr);
            }
        }
    } restoreOptions{curl, customMethod, once};

    HttpReply reply;
    m_errorText[0] = '\0';
    const QByteArray urlBytes = url.toUtf8();

    HeaderList headerList;
    if (!headers.isEmpty()) {
        bool contentTypeGiven = false;
        for (const QString& header : headers) {
            headerList.add(header.toUtf8());
            if (header.startsWith(QLatin1String("Content-Type:"), Qt::CaseInsensitive))
                contentTypeGiven = true;
        }
        headerList.add("Expect:");
        if (!contentTypeGiven) headerList.add("Content-Type:");
    }

    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER,
                     headerList.list ? headerList.list : static_cast<curl_slist*>(m_plainHeaders));
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    if (customMethod) curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    int sends = 0;
    if (once) {
        curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &RefuseASecondSend);
        curl_easy_setopt(curl, CURLOPT_PREREQDATA, &sends);
    }

    const CURLcode result = curl_easy_perform(curl);
    if (result != CURLE_OK) {
        // The handle keeps the last system error of any earlier exchange: only a connection refused
        // or a name not resolved was a system call's own failure in this one.
        long osErrno = 0;
        if (result == CURLE_COULDNT_CONNECT || result == CURLE_COULDNT_RESOLVE_HOST ||
            result == CURLE_COULDNT_RESOLVE_PROXY)
            curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osErrno);
        reply.errorText = sends > 1
                              ? QStringLiteral("The connection was lost before the server answered; "
                                               "the request was not sent again")
                              : QString::fromUtf8(m_errorText[0] ? m_errorText : curl_easy_strerror(result));
        reply.systemErrorCode = int(osErrno);
        reply.body.clear();
        return reply;
    }
    reply.sent = true;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    const char* contentType = nullptr;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType);
    if (contentType) reply.contentType = QString::fromLatin1(contentType);
    return reply;
}

} // namespace quibo
