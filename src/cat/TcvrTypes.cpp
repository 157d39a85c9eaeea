#include "cat/TcvrTypes.h"

namespace {

TTcvrType yaesu(const char *model, const char *speeds, const char *catOn, const char *catOff,
                quint32 watchdog, bool vfoKeys, bool answersSetCommands)
{
    return TTcvrType{QString::fromLatin1(model),
                     QStringLiteral("Yeasu"),
                     1,
                     QStringLiteral("4800"),
                     QString::fromLatin1(speeds),
                     QStringLiteral("Disabled,Enabled,Hand-shake"),
                     QStringLiteral("Disabled,Enabled,Hand-shake,Toggle"),
                     QString::fromLatin1(catOn),
                     QString::fromLatin1(catOff),
                     true,
                     QStringLiteral("01"),
                     QStringLiteral("01"),
                     10,
                     watchdog,
                     vfoKeys,
                     answersSetCommands};
}

} // namespace

const TTcvrType TcvrTypes[TcvrTypeCount] = {
    yaesu("FT-817", "4800,9600,38400", "", "", 1000, true, true),
    yaesu("FT-847", "4800,9600,57600", "0000000000", "0000000080", 3000, false, false),
    yaesu("FT-857", "4800,9600,38400", "", "", 1000, true, true),
    yaesu("FT-897", "4800,9600,38400", "", "", 1000, true, true),
};

int TcvrTypeIndex(const QString &model)
{
    for (int i = 0; i < TcvrTypeCount; ++i)
        if (TcvrTypes[i].Model == model)
            return i;
    return -1;
}

const TTcvrType &TcvrTypeAt(int index)
{
    if (index < 0 || index >= TcvrTypeCount)
        return TcvrTypes[0];
    return TcvrTypes[index];
}

const TPollCommand PollCommands[3][PollCommandCount] = {
    {{}, {}, {}, {}, {}},
    {{QStringLiteral("0000000003"), 5},
     {QStringLiteral("00000000E7"), 1},
     {QStringLiteral("00000000F7"), 1},
     {QString(), 0},
     {QString(), 0}},
    {{QStringLiteral("IF;"), 38}, {QStringLiteral("SM;"), 7}, {QString(), 0}, {QString(), 0}, {QString(), 0}},
};

const QString ModeNames[ModeCount] = {
    QStringLiteral("LSB"), QStringLiteral("USB"), QStringLiteral("CW"),  QStringLiteral("CW-R"),
    QStringLiteral("AM"),  QStringLiteral("WFM"), QStringLiteral("FM"),  QStringLiteral("DIG"),
    QStringLiteral("PKT"), QStringLiteral("FSK"), QStringLiteral("FSK-R"),
};

bool IsModeName(const QString &mode)
{
    for (const QString &name : ModeNames)
        if (name == mode)
            return true;
    return false;
}
