#pragma once

// A plain socket client of the TCP command server for tests: blocking BSD
// sockets on 127.0.0.1, so that it shares nothing with the server's Qt
// networking. While it waits for a reply it keeps the calling thread's Qt
// events going, because the commands that change the window are carried out
// on that thread.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

class TcpTestClient
{
public:
    explicit TcpTestClient(quint16 port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~TcpTestClient() { close(); }
    TcpTestClient(const TcpTestClient &) = delete;
    TcpTestClient &operator=(const TcpTestClient &) = delete;

    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    bool send(const QByteArray &bytes)
    {
        qsizetype sent = 0;
        while (fd_ >= 0 && sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += n;
        }
        return sent == bytes.size();
    }

    // The next reply line without its CR LF; a null string when none came in
    // time or the server closed the connection.
    QByteArray readLine(int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            const qsizetype end = buffer_.indexOf("\r\n", start_);
            if (end >= 0) {
                const QByteArray line = buffer_.mid(start_, end - start_);
                start_ = end + 2;
                return line.isNull() ? QByteArray("") : line;
            }
            if (closedByServer_ || timer.elapsed() > timeoutMs)
                return QByteArray();
            waitForBytes(5);
            QCoreApplication::processEvents();
        }
    }

    QByteArray ask(const QByteArray &line, int timeoutMs = 5000)
    {
        return send(line + '\n') ? readLine(timeoutMs) : QByteArray();
    }

    // Reads until the server closes the connection (true) or time runs out.
    bool waitForClose(int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!closedByServer_ && timer.elapsed() < timeoutMs) {
            waitForBytes(5);
            QCoreApplication::processEvents();
        }
        return closedByServer_;
    }

    void close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    void waitForBytes(int timeoutMs)
    {
        if (fd_ < 0) {
            closedByServer_ = true;
            return;
        }
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return;
        char chunk[65536];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n > 0) {
            buffer_.remove(0, start_);
            start_ = 0;
            buffer_.append(chunk, n);
        }
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            closedByServer_ = true;
    }

    int fd_ = -1;
    QByteArray buffer_;
    qsizetype start_ = 0; // first byte not yet read as a line
    bool closedByServer_ = false;
};
