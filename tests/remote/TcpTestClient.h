#pragma once

// A socket client of the TCP command server for tests, on 127.0.0.1. It
// waits for replies with the calling thread's events going, because the
// commands that change the window are carried out on that thread.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>

class TcpTestClient
{
public:
    QTcpSocket socket;

    explicit TcpTestClient(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(5000);
    }
    bool ok() const { return socket.state() == QAbstractSocket::ConnectedState; }
    void send(const QByteArray &bytes) { socket.write(bytes); }
    // The next reply line without its CR LF ("<no reply>" when none comes in
    // time, "<bad end>" when it does not end in CR LF).
    QByteArray readLine()
    {
        if (!waitFor([this] { return socket.canReadLine(); }))
            return "<no reply>";
        const QByteArray line = socket.readLine();
        return line.endsWith("\r\n") ? line.chopped(2) : "<bad end>";
    }
    QByteArray ask(const QByteArray &line)
    {
        send(line + '\n');
        return readLine();
    }
    // True when the server closes the connection in time.
    bool waitForClose()
    {
        return waitFor([this] { return socket.state() == QAbstractSocket::UnconnectedState; });
    }

private:
    template <typename Done>
    bool waitFor(Done done)
    {
        const QDeadlineTimer deadline(10000);
        while (!done() && !deadline.hasExpired()) {
            socket.waitForReadyRead(5);
            QCoreApplication::processEvents();
        }
        return done();
    }
};
