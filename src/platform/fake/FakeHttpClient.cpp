#include "platform/fake/FakeHttpClient.h"

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
    return HttpResponse{
        .sessionOpened = true, .connected = true, .status = status, .body = body, .complete = true};
}

HttpResponse FakeHttpClient::notConnected()
{
    return HttpResponse{
        .sessionOpened = true, .connected = false, .status = 0, .body = {}, .complete = false};
}
