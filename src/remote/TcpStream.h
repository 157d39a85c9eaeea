#pragma once

// A client's connection on its native socket, and the accepting of such
// connections: the command server's and the rigctld endpoint's clients.
//
// Why not QTcpSocket: it closes its socket the moment it reads the end of the
// client's data, with replies still waiting to be written, so a client that
// shuts its sending side right after its last line (printf 'QS\n' | nc -N)
// would get nothing. Here the end of the data is read only when the server
// asks for more bytes, which it does once every line before has its reply,
// and the socket is closed only when the server says so.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QSocketNotifier;
struct sockaddr_storage;

class TTcpStream : public QObject
{
    Q_OBJECT
public:
    // Takes over a connected socket (closed with this object).
    TTcpStream(qintptr Descriptor, QObject *Parent);
    ~TTcpStream() override;

    QHostAddress PeerAddress() const;
    quint16 PeerPort() const;

    // Up to Max bytes received; empty when none wait now or the client has
    // finished sending (AtEnd).
    QByteArray Read(qint64 Max);
    // The client has sent all it will, or the connection is broken.
    bool AtEnd() const { return Ended; }
    // Whether ReadyRead is wanted. Off while the server takes no bytes, since
    // waiting bytes would announce themselves again and again.
    void WatchReading(bool On);

    // What the system does not take at once is kept, in order, and sent as
    // the client reads.
    void Write(const QByteArray &Bytes);
    qint64 BytesToWrite() const { return Pending.size() - PendingStart; }

    // Ends the connection at once; what is not sent yet is dropped.
    void Close();
    bool IsOpen() const { return Descriptor >= 0; }

signals:
    // Bytes, or the end of the client's data, wait to be read.
    void ReadyRead();
    // Some of the kept bytes went out.
    void BytesWritten();
    // The connection failed (reset by the client, say) and is closed.
    void Broken();

private:
    void flush();
    void fail();
    // The peer's socket address; false when there is none.
    bool peerName(sockaddr_storage &address) const;

    qintptr Descriptor;
    QSocketNotifier *ReadNotifier = nullptr;  // child
    QSocketNotifier *WriteNotifier = nullptr; // child
    QByteArray Pending;
    qsizetype PendingStart = 0;
    bool Ended = false;
};

// The next connection waiting on a listening socket.
struct TTcpAccepted
{
    enum TResult {
        Taken,          // Descriptor holds it (non-blocking)
        NoneWaiting,    // try again when the socket says one waits
        Gone,           // one left before it was taken: try the next
        OutOfResources, // no descriptor or memory for it now
        Failed,         // anything else
    };
    TResult Result = NoneWaiting;
    qintptr Descriptor = -1;
    QString Error; // the system's reason, for the last two
};
TTcpAccepted AcceptTcpConnection(qintptr Listener);

// Raises the soft limit of open descriptors to the hard limit, so that the
// server can hold as many clients as the system lets this user have (the
// soft default of 1024 is low for a server). Nothing on Windows.
void RaiseOpenFileLimit();
