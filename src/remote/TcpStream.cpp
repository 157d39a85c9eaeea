#include "remote/TcpStream.h"

#include "base/SystemQueries.h"

#include <QSocketNotifier>

#include <limits>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

// ---- the system's calls ------------------------------------------------------------

namespace {

#ifdef Q_OS_WIN
using TNative = SOCKET;
constexpr int SendFlags = 0;

int lastError()
{
    return WSAGetLastError();
}
bool wouldBlock(int Error)
{
    return Error == WSAEWOULDBLOCK;
}
bool interrupted(int Error)
{
    return Error == WSAEINTR;
}
void closeNative(qintptr Descriptor)
{
    ::closesocket(TNative(Descriptor));
}
void makeNonBlocking(qintptr Descriptor)
{
    u_long on = 1;
    ::ioctlsocket(TNative(Descriptor), FIONBIO, &on);
}
#else
using TNative = int;
#ifdef MSG_NOSIGNAL
constexpr int SendFlags = MSG_NOSIGNAL; // a client gone is an error, not a SIGPIPE
#else
constexpr int SendFlags = 0;
#endif

int lastError()
{
    return errno;
}
bool wouldBlock(int Error)
{
    return Error == EAGAIN || Error == EWOULDBLOCK;
}
bool interrupted(int Error)
{
    return Error == EINTR;
}
void closeNative(qintptr Descriptor)
{
    ::close(TNative(Descriptor));
}
void makeNonBlocking(qintptr Descriptor)
{
    const int flags = ::fcntl(TNative(Descriptor), F_GETFL);
    ::fcntl(TNative(Descriptor), F_SETFL, flags | O_NONBLOCK);
    ::fcntl(TNative(Descriptor), F_SETFD, FD_CLOEXEC);
}
#endif

// Bytes one call moves at most (the Windows calls take an int).
int callSize(qint64 Size)
{
    return int(qMin<qint64>(Size, std::numeric_limits<int>::max()));
}

// recv and send: the count moved, 0 for the end of the client's data (recv
// only), -1 with Error set when nothing moved.
qint64 receive(qintptr Descriptor, char *Data, qint64 Max, int &Error)
{
    for (;;) {
        const auto got = ::recv(TNative(Descriptor), Data, callSize(Max), 0);
        if (got >= 0)
            return got;
        Error = lastError();
        if (!interrupted(Error))
            return -1;
    }
}

qint64 sendSome(qintptr Descriptor, const char *Data, qint64 Size, int &Error)
{
    for (;;) {
        const auto sent = ::send(TNative(Descriptor), Data, callSize(Size), SendFlags);
        if (sent >= 0)
            return sent;
        Error = lastError();
        if (!interrupted(Error))
            return -1;
    }
}

} // namespace

// ---- the connection ----------------------------------------------------------------

TTcpStream::TTcpStream(qintptr NativeDescriptor, QObject *Parent)
    : QObject(Parent)
    , Descriptor(NativeDescriptor)
{
    makeNonBlocking(Descriptor);
    ReadNotifier = new QSocketNotifier(Descriptor, QSocketNotifier::Read, this);
    WriteNotifier = new QSocketNotifier(Descriptor, QSocketNotifier::Write, this);
    WriteNotifier->setEnabled(false);
    // Announced while watched: the server reads what it can take, and stops
    // watching while it takes nothing.
    connect(ReadNotifier, &QSocketNotifier::activated, this, &TTcpStream::ReadyRead);
    connect(WriteNotifier, &QSocketNotifier::activated, this, &TTcpStream::flush);
}

TTcpStream::~TTcpStream()
{
    Close();
}

bool TTcpStream::peerName(sockaddr_storage &address) const
{
#ifdef Q_OS_WIN
    int length = sizeof address;
#else
    socklen_t length = sizeof address;
#endif
    return IsOpen() && ::getpeername(TNative(Descriptor), reinterpret_cast<sockaddr *>(&address), &length) == 0;
}

QHostAddress TTcpStream::PeerAddress() const
{
    sockaddr_storage address{};
    if (!peerName(address))
        return QHostAddress();
    return QHostAddress(reinterpret_cast<const sockaddr *>(&address));
}

quint16 TTcpStream::PeerPort() const
{
    sockaddr_storage address{};
    if (!peerName(address))
        return 0;
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in *>(&address)->sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6 *>(&address)->sin6_port);
    return 0;
}

QByteArray TTcpStream::Read(qint64 Max)
{
    if (!IsOpen() || Ended || Max <= 0)
        return QByteArray();
    QByteArray bytes(Max, Qt::Uninitialized);
    int error = 0;
    const qint64 got = receive(Descriptor, bytes.data(), Max, error);
    if (got > 0) {
        bytes.truncate(got);
        return bytes;
    }
    if (got == 0)
        Ended = true;
    else if (!wouldBlock(error))
        fail();
    return QByteArray();
}

void TTcpStream::WatchReading(bool On)
{
    if (IsOpen())
        ReadNotifier->setEnabled(On && !Ended);
}

void TTcpStream::Write(const QByteArray &Bytes)
{
    if (!IsOpen() || Bytes.isEmpty())
        return;
    if (BytesToWrite() > 0) {
        Pending.append(Bytes);
        return;
    }
    int error = 0;
    const qint64 sent = sendSome(Descriptor, Bytes.constData(), Bytes.size(), error);
    if (sent < 0 && !wouldBlock(error)) {
        fail();
        return;
    }
    Pending = Bytes.mid(qMax<qint64>(sent, 0));
    PendingStart = 0;
    WriteNotifier->setEnabled(!Pending.isEmpty());
}

void TTcpStream::flush()
{
    if (!IsOpen())
        return;
    int error = 0;
    const qint64 sent = sendSome(Descriptor, Pending.constData() + PendingStart, BytesToWrite(), error);
    if (sent < 0) {
        if (!wouldBlock(error))
            fail();
        return;
    }
    PendingStart += sent;
    if (BytesToWrite() == 0) {
        Pending.clear();
        PendingStart = 0;
        WriteNotifier->setEnabled(false);
    } else if (PendingStart > 64 * 1024) {
        Pending.remove(0, PendingStart);
        PendingStart = 0;
    }
    if (sent > 0)
        emit BytesWritten();
}

void TTcpStream::Close()
{
    if (!IsOpen())
        return;
    // The notifiers go before the descriptor: a closed one must not be
    // watched.
    delete ReadNotifier;
    delete WriteNotifier;
    ReadNotifier = nullptr;
    WriteNotifier = nullptr;
    closeNative(Descriptor);
    Descriptor = -1;
    Ended = true;
    Pending.clear();
    PendingStart = 0;
}

void TTcpStream::fail()
{
    Close();
    emit Broken();
}

// ---- accepting ---------------------------------------------------------------------

TTcpAccepted AcceptTcpConnection(qintptr Listener)
{
    TTcpAccepted accepted;
    for (;;) {
#ifdef Q_OS_LINUX
        const int taken = ::accept4(TNative(Listener), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
#else
        const TNative taken = ::accept(TNative(Listener), nullptr, nullptr);
#endif
#ifdef Q_OS_WIN
        if (taken != INVALID_SOCKET) {
#else
        if (taken >= 0) {
#endif
            makeNonBlocking(qintptr(taken));
            accepted.Result = TTcpAccepted::Taken;
            accepted.Descriptor = qintptr(taken);
            return accepted;
        }
        const int error = lastError();
        if (interrupted(error))
            continue;
#ifdef Q_OS_WIN
        const bool gone = error == WSAECONNRESET;
        const bool outOfResources = error == WSAEMFILE || error == WSAENOBUFS;
#else
        const bool gone = error == ECONNABORTED || error == EPROTO;
        const bool outOfResources = error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
#endif
        if (wouldBlock(error))
            accepted.Result = TTcpAccepted::NoneWaiting;
        else if (gone)
            accepted.Result = TTcpAccepted::Gone;
        else
            accepted.Result = outOfResources ? TTcpAccepted::OutOfResources : TTcpAccepted::Failed;
        accepted.Error = SystemErrorText(error);
        return accepted;
    }
}

void RaiseOpenFileLimit()
{
#ifndef Q_OS_WIN
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
#endif
}
