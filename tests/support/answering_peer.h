// SPDX-License-Identifier: GPL-3.0-or-later
// A crowd of elements on loopback: every datagram it receives (a paging request) is answered with
// all its reports, from a thread of its own, so that the receiver reads while they arrive.
#pragma once

#include <QByteArray>
#include <QList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace ondalink::testing {

class AnsweringPeer {
public:
    explicit AnsweringPeer(QList<QByteArray> answers) : m_answers(std::move(answers)) {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        // Port 0 when either call fails: the test's first send then fails visibly.
        const bool bound = ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), length) == 0 &&
                           ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length) == 0;
        m_port = bound ? ntohs(address.sin_port) : 0;
        m_thread = std::thread([this] { answer(); });
    }
    ~AnsweringPeer() {
        ::shutdown(m_fd, SHUT_RDWR); // ends the wait in recvfrom
        m_thread.join();
        ::close(m_fd);
    }
    AnsweringPeer(const AnsweringPeer &) = delete;
    AnsweringPeer &operator=(const AnsweringPeer &) = delete;

    quint16 port() const { return m_port; }

private:
    void answer() {
        char request[64];
        sockaddr_in from{};
        socklen_t size = sizeof from;
        while (::recvfrom(m_fd, request, sizeof request, 0, reinterpret_cast<sockaddr *>(&from), &size) > 0) {
            for (const QByteArray &datagram : m_answers)
                ::sendto(m_fd, datagram.constData(), size_t(datagram.size()), 0,
                         reinterpret_cast<sockaddr *>(&from), sizeof from);
            size = sizeof from;
        }
    }

    QList<QByteArray> m_answers;
    int m_fd = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

} // namespace ondalink::testing
