#include "support/FakeDaytimeClient.h"

DaytimeReply FakeDaytimeClient::ask(const DaytimeRequest& request)
{
    requests.push_back(request);
    if (const auto found = answers.constFind(request.host); found != answers.cend())
        return *found;
    if (handler)
        return handler(request);
    return notConnected();
}

DaytimeReply FakeDaytimeClient::reply(const QByteArray& bytes)
{
    return DaytimeReply{.connected = true, .bytes = bytes, .error = DaytimeError::None};
}

DaytimeReply FakeDaytimeClient::notConnected()
{
    return DaytimeReply{.connected = false, .bytes = {}, .error = DaytimeError::NoConnection};
}
