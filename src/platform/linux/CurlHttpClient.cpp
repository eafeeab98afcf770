#include "platform/linux/CurlHttpClient.h"

#include <curl/curl.h>

#include <limits>
#include <memory>

namespace {

// libcurl must be initialised once before the first handle; a function-local static makes that
// thread-safe. It is never cleaned up: the process ends first.
bool curlInitialised()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised;
}

struct Transfer {
    QByteArray body;
    qint64 maxBodyBytes = 0;
    bool connected = false;
};

// Keeps every byte up to the limit; past it, a short count makes curl stop with CURLE_WRITE_ERROR.
size_t keepBody(char* data, size_t size, size_t count, void* userData)
{
    auto* transfer = static_cast<Transfer*>(userData);
    const qint64 bytes = qint64(size * count);
    const qint64 room = transfer->maxBodyBytes - transfer->body.size();
    if (bytes > room) {
        transfer->body.append(data, qMax<qint64>(room, 0));
        return 0;
    }
    transfer->body.append(data, bytes);
    return size * count;
}

// A new connection is being made (the first one, or one for a redirect): whether the server was
// reached is decided by the last one.
int connectionStarting(void* userData, curl_socket_t, curlsocktype)
{
    static_cast<Transfer*>(userData)->connected = false;
    return CURL_SOCKOPT_OK;
}

// The connection stands (TLS included for https) and the request is about to go out.
int connectionReady(void* userData, char*, char*, int, int)
{
    static_cast<Transfer*>(userData)->connected = true;
    return CURL_PREREQFUNC_OK;
}

HttpError errorFor(CURLcode result, long status)
{
    switch (result) {
    case CURLE_OK:
        return status == 404 || status == 410 ? HttpError::NotFound : HttpError::None;
    case CURLE_OPERATION_TIMEDOUT:
        return HttpError::TimedOut;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return HttpError::NoConnection;
    case CURLE_COULDNT_CONNECT:
        return HttpError::Refused;
    default:
        return HttpError::Other;
    }
}

// The smaller of the backend's own bound and what is left of the caller's deadline; never 0, which
// libcurl reads as "no bound".
long boundMs(int ownMs, const QDeadlineTimer& deadline)
{
    qint64 bound = ownMs > 0 ? ownMs : std::numeric_limits<long>::max();
    if (!deadline.isForever())
        bound = qMin(bound, deadline.remainingTime());
    return long(qMax<qint64>(bound, 1));
}

} // namespace

CurlHttpClient::CurlHttpClient(HttpLimits limits) : limits_(limits) {}

HttpResponse CurlHttpClient::get(const HttpRequest& request)
{
    HttpResponse response;
    if (!curlInitialised())
        return response;
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl)
        return response;

    Transfer transfer;
    transfer.maxBodyBytes = limits_.maxBodyBytes;
    const QByteArray url = request.url.toLatin1();

    bool ready = true;
    const auto set = [&](CURLoption option, auto value) {
        ready = ready && curl_easy_setopt(curl.get(), option, value) == CURLE_OK;
    };
    set(CURLOPT_URL, url.constData());
    set(CURLOPT_USERAGENT, request.agent.constData());
    set(CURLOPT_NOSIGNAL, 1L);
    // The daytime service answers with a bare time-code line and no status line.
    set(CURLOPT_HTTP09_ALLOWED, 1L);
    // The path goes out as given; without this curl would resolve "./" and "../" segments.
    // Backslashes pass unchanged either way.
    set(CURLOPT_PATH_AS_IS, 1L);
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, 5L);
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    if (request.proxy == ProxyMode::Direct) {
        // An empty proxy name overrides http_proxy, all_proxy and the like.
        set(CURLOPT_PROXY, "");
        set(CURLOPT_NOPROXY, "*");
    } // System: libcurl reads the proxy environment variables itself.
    set(CURLOPT_CONNECTTIMEOUT_MS, boundMs(limits_.connectTimeoutMs, request.deadline));
    set(CURLOPT_TIMEOUT_MS, boundMs(limits_.totalTimeoutMs, request.deadline));
    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.headers)
        headers = curl_slist_append(headers, (name + ": " + value).constData());
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headerList(headers, &curl_slist_free_all);
    if (headers)
        set(CURLOPT_HTTPHEADER, headers);
    if (limits_.lowSpeedTimeS > 0) {
        set(CURLOPT_LOW_SPEED_LIMIT, 1L);
        set(CURLOPT_LOW_SPEED_TIME, long(limits_.lowSpeedTimeS));
    }
    set(CURLOPT_WRITEFUNCTION, &keepBody);
    set(CURLOPT_WRITEDATA, static_cast<void*>(&transfer));
    set(CURLOPT_SOCKOPTFUNCTION, &connectionStarting);
    set(CURLOPT_SOCKOPTDATA, static_cast<void*>(&transfer));
    set(CURLOPT_PREREQFUNCTION, &connectionReady);
    set(CURLOPT_PREREQDATA, static_cast<void*>(&transfer));
    if (!ready)
        return response;
    response.sessionOpened = true;

    const CURLcode result = curl_easy_perform(curl.get());
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    response.connected = transfer.connected;
    response.status = int(status);
    response.body = std::move(transfer.body);
    response.complete = result == CURLE_OK;
    response.error = errorFor(result, status);
    return response;
}
