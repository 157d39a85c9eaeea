#include "cat/CommandQueue.h"

void TCommandQueue::Append(std::unique_ptr<TTcvrCommand> command)
{
    if (!command)
        return;
    QMutexLocker lock(&mutex_);
    items_.push_back(std::move(command));
}

void TCommandQueue::Append(TTcvrCommands commands)
{
    QMutexLocker lock(&mutex_);
    for (auto &command : commands)
        if (command)
            items_.push_back(std::move(command));
}

void TCommandQueue::Replace(std::unique_ptr<TTcvrCommand> command)
{
    if (!command)
        return;
    QMutexLocker lock(&mutex_);
    // The newest waiting command of the code is the one sent last: replacing
    // an older one would let the newest undo the request (a band switch
    // queues mode, frequency, mode; a mode set after it must win). Nothing
    // moves across a barrier: a frequency queued before a VFO toggle belongs
    // to the other VFO.
    if (!command->Code.isEmpty()) {
        for (auto slot = items_.rbegin(); slot != items_.rend() && !(*slot)->Barrier; ++slot) {
            if ((*slot)->Code == command->Code) {
                *slot = std::move(command); // the older command is freed here
                return;
            }
        }
    }
    items_.push_back(std::move(command));
}

std::unique_ptr<TTcvrCommand> TCommandQueue::TakeFirst()
{
    QMutexLocker lock(&mutex_);
    if (items_.empty())
        return nullptr;
    std::unique_ptr<TTcvrCommand> first = std::move(items_.front());
    items_.pop_front();
    return first;
}

void TCommandQueue::Remove(const QString &code)
{
    std::deque<std::unique_ptr<TTcvrCommand>> kept, discarded;
    {
        QMutexLocker lock(&mutex_);
        for (auto &item : items_)
            (item->Code == code ? discarded : kept).push_back(std::move(item));
        items_.swap(kept);
    }
    // freed outside the lock
}

void TCommandQueue::Clear()
{
    std::deque<std::unique_ptr<TTcvrCommand>> discarded;
    {
        QMutexLocker lock(&mutex_);
        discarded.swap(items_);
    }
    // Told and freed outside the lock: a reader may queue again.
    for (const auto &command : discarded)
        if (command->TakeReply)
            command->TakeReply(QString());
}

int TCommandQueue::Count() const
{
    QMutexLocker lock(&mutex_);
    return int(items_.size());
}

QStringList TCommandQueue::Commands() const
{
    QMutexLocker lock(&mutex_);
    QStringList list;
    for (const auto &item : items_)
        list << item->Command;
    return list;
}

QStringList TCommandQueue::Codes() const
{
    QMutexLocker lock(&mutex_);
    QStringList list;
    for (const auto &item : items_)
        list << item->Code;
    return list;
}

void TPendingTune::Place(const TTuneRequest &request)
{
    auto fresh = std::make_unique<TTuneRequest>(request);
    {
        QMutexLocker lock(&mutex_);
        request_.swap(fresh);
    }
    // fresh now holds the older request (if any), freed here
}

std::optional<TTuneRequest> TPendingTune::Take()
{
    std::unique_ptr<TTuneRequest> taken;
    {
        QMutexLocker lock(&mutex_);
        taken.swap(request_);
    }
    if (!taken)
        return std::nullopt;
    return *taken;
}

void TPendingTune::Clear()
{
    std::unique_ptr<TTuneRequest> dropped;
    QMutexLocker lock(&mutex_);
    dropped.swap(request_);
}

bool TPendingTune::IsSet() const
{
    QMutexLocker lock(&mutex_);
    return request_ != nullptr;
}
