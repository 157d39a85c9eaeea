#pragma once

#include "cat/CatCommands.h"

#include <QMutex>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>

// The commands waiting for the poll cycle, first in first out. The queue owns
// every command it holds: a command leaves it only by being taken out for
// sending, replaced by a newer one with the same code, or discarded (a
// reading discarded hears an empty reply). Every operation takes the queue's
// lock exactly once, so other threads may add to it while the user-interface
// thread sends.
class TCommandQueue
{
public:
    TCommandQueue() = default;
    TCommandQueue(const TCommandQueue &) = delete;
    TCommandQueue &operator=(const TCommandQueue &) = delete;

    // Appends; a missing command is ignored.
    void Append(std::unique_ptr<TTcvrCommand> command);
    // Appends them all at once: nothing gets between them.
    void Append(TTcvrCommands commands);
    // The command takes the place of the last waiting command with the same
    // non-empty code (which is freed) unless a barrier was queued after that
    // one; otherwise it is appended.
    void Replace(std::unique_ptr<TTcvrCommand> command);
    // The oldest command, or null when the queue is empty.
    std::unique_ptr<TTcvrCommand> TakeFirst();
    // Frees every waiting command with this code.
    void Remove(const QString &code);
    // Frees every waiting command.
    void Clear();
    int Count() const;
    bool IsEmpty() const { return Count() == 0; }
    // Copies of the waiting commands' texts and codes, oldest first.
    QStringList Commands() const;
    QStringList Codes() const;

private:
    mutable QMutex mutex_;
    std::deque<std::unique_ptr<TTcvrCommand>> items_;
};

// A request to tune the radio from outside the window (a companion program's
// "TT"): frequency in hertz, mode name, and the caption of the marker it names.
struct TTuneRequest
{
    qint32 Frequency = 0;
    QString Mode;
    QString Caption;
};

// The one-slot hand-over of a tune request from a TCP client thread to the
// poll timer. A request placed while another still waits replaces it; taking
// empties the slot. Both are one exchange under the slot's own lock.
class TPendingTune
{
public:
    void Place(const TTuneRequest &request);
    std::optional<TTuneRequest> Take();
    void Clear();
    bool IsSet() const;

private:
    mutable QMutex mutex_;
    std::unique_ptr<TTuneRequest> request_;
};
