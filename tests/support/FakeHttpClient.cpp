#include "support/FakeHttpClient.h"

HttpResponse FakeHttpClient::get(const HttpRequest& request)
{
    requests.push_back(request);
    if (const auto found = answers.constFind(request.url); found != answers.cend())
        return *found;
    if (handler)
        return handler(request);
    return notConnected();
}

HttpResponse FakeHttpClient::reply(const QByteArray& body, int status)
{
    const HttpError error = status == 404 || status == 410 ? HttpError::NotFound : HttpError::None;
    return HttpResponse{
        .sessionOpened = true, .connected = true, .status = status, .body = body, .complete = true, .error = error};
}

HttpResponse FakeHttpClient::notConnected()
{
    return HttpResponse{.sessionOpened = true,
                        .connected = false,
                        .status = 0,
                        .body = {},
                        .complete = false,
                        .error = HttpError::NoConnection};
}
