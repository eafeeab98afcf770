#include "DaytimeServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

DaytimeServer::DaytimeServer(quint16 port, QByteArray answer, Ending ending)
    : answer_(std::move(answer)), ending_(ending)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0) {
        if (fd >= 0)
            close(fd);
        return;
    }
    listener_ = fd;
    thread_ = std::thread(&DaytimeServer::run, this);
}

DaytimeServer::~DaytimeServer()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0)
        close(listener_);
}

void DaytimeServer::run()
{
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0)
            continue;
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        ++connections_;
        if (!answer_.isEmpty())
            send(client, answer_.constData(), size_t(answer_.size()), MSG_NOSIGNAL);
        while (ending_ == Ending::Hold && !stopping_) {
            pollfd peer{client, POLLIN, 0};
            char byte = 0;
            if (poll(&peer, 1, 50) > 0 && recv(client, &byte, 1, 0) <= 0) {
                ++hangUps_;
                break;
            }
        }
        if (ending_ == Ending::Reset) {
            pollfd request{client, POLLIN, 0};
            poll(&request, 1, 2000);
            const linger abortive{1, 0};
            setsockopt(client, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        }
        close(client);
    }
}
