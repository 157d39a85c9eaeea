// Times reading and writing large hand-made band-plan and mode-segment files
// (parse, Windows-1252 decode, trim, format) and turning segments into scale
// records. Usage: bench_datafiles [lines]
#include "data/Bands.h"
#include "data/Modes.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;
    const int rounds = 20;

    QByteArray bandFile = "; It is highly recommended that you don't edit this file.\r\n";
    QByteArray modeFile = bandFile;
    for (int i = 0; i < lines; ++i) {
        const QByteArray begin = QByteArray::number(1000 + i * 10);
        const QByteArray end = QByteArray::number(1005 + i * 10);
        bandFile += "1\tB" + QByteArray::number(i % 1000) + "\t" + begin + "\t" + end + "\t" + begin
            + "\tCW\tband n\xB0 " + QByteArray::number(i) + "\r\n";
        modeFile += begin + "\t" + end + "\tUSB\t009ADCA4\tseg\xE9ment\r\n";
    }

    QElapsedTimer timer;
    timer.start();
    qsizetype kept = 0;
    for (int r = 0; r < rounds; ++r) {
        TBandPlan plan;
        plan.LoadFromFileBytes(bandFile);
        kept += plan.ToFileBytes().size();
    }
    const double bandsMs = timer.nsecsElapsed() / 1e6 / rounds;

    timer.restart();
    qsizetype segments = 0;
    for (int r = 0; r < rounds; ++r) {
        TModeSegments modes;
        modes.LoadFromFileBytes(modeFile);
        TMode segment;
        for (const QString &item : modes.AllItems())
            segments += TModeSegments::ReadSegment(item, segment) ? 1 : 0;
        kept += modes.ToFileBytes().size();
    }
    const double modesMs = timer.nsecsElapsed() / 1e6 / rounds;

    std::printf("%d lines: band plan load+save %.2f ms, mode segments load+read+save %.2f ms (%lld bytes, %lld segments)\n",
                lines, bandsMs, modesMs, static_cast<long long>(kept / rounds), static_cast<long long>(segments / rounds));
    return 0;
}
