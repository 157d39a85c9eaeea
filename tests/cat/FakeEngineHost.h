#pragma once

// The main window as the CAT engine sees it: what the engine reads (plain
// fields) and what it reports through its signals, recorded. The radio state
// is the engine's own (engine.State()).

#include "cat/CatEngine.h"
#include "cat/CatLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QThread>

struct FakeStatus
{
    QString text;
    quint32 colour = 0;
    bool bold = false;
};

class FakeEngineHost : public TCatEngineHost
{
public:
    qint32 scaleFrequency = 14250000;
    QString mode = QStringLiteral("USB");
    bool editing = false;
    int tcvrIndex = 0;

    QMap<QString, QString> settings;
    QList<qint32> assignedFrequencies;
    QStringList modePresses;
    // like the window's, status texts also go to the log file
    QList<FakeStatus> statuses;
    TCatLog *statusLog = nullptr;
    int scanStops = 0, cancelledEdits = 0, displayRefreshes = 0, linkOpens = 0, linkCloses = 0;

    QString lastStatus() const { return statuses.isEmpty() ? QString() : statuses.last().text; }

    qint32 ScaleFrequency() const override { return scaleFrequency; }
    QString CurrentMode() const override { return mode; }
    bool DigitalDisplayEditing() const override { return editing; }
    int SelectedTcvrIndex() const override { return tcvrIndex; }

    void pressModeKey(const QString &name)
    {
        if (IsModeName(name))
            mode = name, modePresses << name;
    }

    // Records what the engine says, as the window would show it.
    void watch(TCatEngine &engine)
    {
        QObject::connect(&engine, &TCatEngine::StatusReport, &engine, [this](const QString &text, quint32 colour, bool bold) {
            statuses.append({text, colour, bold});
            if (statusLog)
                statusLog->WriteStatusLine(text);
        });
        QObject::connect(&engine, &TCatEngine::SettingReport, &engine,
                         [this](const QString &name, const QString &value) { settings[name] = value; });
        QObject::connect(&engine, &TCatEngine::ScaleFollows, &engine, [this](qint32 frequency) {
            scaleFrequency = frequency, assignedFrequencies << frequency;
        });
        QObject::connect(&engine, &TCatEngine::ModeReported, &engine, [this](const QString &name) { pressModeKey(name); });
        QObject::connect(&engine, &TCatEngine::DisplayRefresh, &engine, [this] { ++displayRefreshes; });
        QObject::connect(&engine, &TCatEngine::ScanMustStop, &engine, [this] { ++scanStops; });
        QObject::connect(&engine, &TCatEngine::EditMustEnd, &engine, [this] { ++cancelledEdits, editing = false; });
        QObject::connect(&engine, &TCatEngine::LinkOpened, &engine, [this] { ++linkOpens; });
        QObject::connect(&engine, &TCatEngine::LinkClosed, &engine, [this] { ++linkCloses; });
        QObject::connect(&engine, &TCatEngine::TuneRequestTaken, &engine, [this](const TTuneRequest &request) {
            pressModeKey(request.Mode);
            scaleFrequency = request.Frequency, assignedFrequencies << request.Frequency;
        });
    }
};

// Lets the engine's answers arrive until it has nothing left in flight.
inline bool settleEngine(TCatEngine &engine, int maxMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!engine.Idle() && timer.elapsed() < maxMs) {
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
    QCoreApplication::processEvents();
    return engine.Idle();
}
