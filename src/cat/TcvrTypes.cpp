#include "cat/TcvrTypes.h"

namespace {

const QStringList narrowModes = {QStringLiteral("LSB"), QStringLiteral("USB"), QStringLiteral("CW"),
                                 QStringLiteral("CW-R"), QStringLiteral("AM"),  QStringLiteral("FM"),
                                 QStringLiteral("DIG"), QStringLiteral("PKT")};

// The FT-817, FT-857 and FT-897 share their coverage: HF and 6 m, the FM
// broadcast band (wide FM only), 2 m and 70 cm.
const QList<TFrequencyRange> yaesuReceive = {
    {100000, 56000000, false}, {76000000, 108000000, true}, {118000000, 164000000, false}, {420000000, 470000000, false}};
// The amateur bands the radios transmit on, at their widest (the American
// edges); 60 m is not among them.
const QList<TFrequencyRange> hfTransmit = {
    {1800000, 2000000, false},   {3500000, 4000000, false},   {7000000, 7300000, false},
    {10100000, 10150000, false}, {14000000, 14350000, false}, {18068000, 18168000, false},
    {21000000, 21450000, false}, {24890000, 24990000, false}, {28000000, 29700000, false},
    {50000000, 54000000, false}};
const QList<TFrequencyRange> vuTransmit = {{144000000, 148000000, false}, {430000000, 450000000, false}};

TTcvrType yaesu(const char *model, const char *speeds, int hamlibModel, int lowPowerMw, int highPowerMw)
{
    TTcvrType type{};
    type.Model = QString::fromLatin1(model);
    type.Maker = QStringLiteral("Yeasu");
    type.CommandSet = 1;
    type.DefaultSpeed = QStringLiteral("4800");
    type.Speeds = QString::fromLatin1(speeds);
    type.DtrChoices = QStringLiteral("Disabled,Enabled,Hand-shake");
    type.RtsChoices = QStringLiteral("Disabled,Enabled,Hand-shake,Toggle");
    type.HexCoded = true;
    type.FrequencyCodeA = QStringLiteral("01");
    type.FrequencyCodeB = QStringLiteral("01");
    type.ProbeReplyLength = 10;
    type.WatchdogInterval = 1000;
    type.HasVfoKeys = true;
    type.Modes = narrowModes + QStringList{QStringLiteral("WFM")};
    type.ReceiveRanges = yaesuReceive;
    type.TransmitRanges = hfTransmit + vuTransmit;
    type.LowPowerMw = lowPowerMw;
    type.HighPowerMw = highPowerMw;
    type.AmHighPowerMw = highPowerMw / 4;
    type.HamlibModel = hamlibModel;
    type.VfoEepromAddress = 0x68;
    type.SplitEepromAddress = 0x8D;
    return type;
}

TTcvrType ft817()
{
    TTcvrType type = yaesu("FT-817", "4800,9600,38400", 1020, 500, 5000);
    type.AmHighPowerMw = 1500;
    type.VfoEepromAddress = 0x55;
    type.SplitEepromAddress = 0x7A;
    type.TransmitMeters = TTcvrType::TTransmitMeters::MeteringCommand;
    return type;
}

TTcvrType ft857(const char *model, int hamlibModel)
{
    TTcvrType type = yaesu(model, "4800,9600,38400", hamlibModel, 5000, 100000);
    type.DecoderOnlyTone = true;
    return type;
}

// The FT-847: no VFO toggle and no acknowledgements, CAT switched on and
// off, split through the satellite mode, its own tone table, a five-bit meter.
TTcvrType ft847()
{
    TTcvrType type = yaesu("FT-847", "4800,9600,57600", 1001, 5000, 100000);
    type.CatOnCommand = QStringLiteral("0000000000");
    type.CatOffCommand = QStringLiteral("0000000080");
    type.WatchdogInterval = 3000;
    type.HasVfoKeys = false;
    type.HasSplit = false;
    type.AnswersSetCommands = false;
    type.VfoMethod = TVfoMethod::SatelliteCopy;
    type.SatelliteSplit = true;
    type.ToneCodeTable = true;
    type.MeterMax = 31;
    type.Modes = {QStringLiteral("LSB"), QStringLiteral("USB"), QStringLiteral("CW"),
                  QStringLiteral("CW-R"), QStringLiteral("AM"), QStringLiteral("FM")};
    type.ReceiveRanges = {{100000, 30000000, false}, {36000000, 76000000, false},
                          {108000000, 174000000, false}, {420000000, 512000000, false}};
    type.TransmitRanges = hfTransmit + vuTransmit;
    type.VfoEepromAddress = type.SplitEepromAddress = -1;
    type.TransmitMeters = TTcvrType::TTransmitMeters::StatusAlc;
    return type;
}

} // namespace

bool TTcvrType::Receives(qint64 frequency) const
{
    for (const TFrequencyRange &range : ReceiveRanges)
        if (frequency >= range.Low && frequency <= range.High)
            return true;
    return false;
}

const TTcvrType TcvrTypes[TcvrTypeCount] = {
    ft817(),
    ft847(),
    ft857("FT-857", 1022),
    ft857("FT-897", 1023),
};

int TcvrTypeIndex(const QString &model)
{
    for (int i = 0; i < TcvrTypeCount; ++i)
        if (TcvrTypes[i].Model == model)
            return i;
    return -1;
}

QStringList TcvrModelNames()
{
    QStringList names;
    for (const TTcvrType &type : TcvrTypes)
        names << type.Model;
    return names;
}

const TTcvrType &TcvrTypeAt(int index)
{
    if (index < 0 || index >= TcvrTypeCount)
        return TcvrTypes[0];
    return TcvrTypes[index];
}

const TPollCommand PollCommands[CommandSetCount + 1][PollCommandCount] = {
    {{}, {}, {}, {}, {}},
    {{QStringLiteral("0000000003"), 5},
     {QStringLiteral("00000000E7"), 1},
     {QStringLiteral("00000000F7"), 1},
     {QString(), 0},
     {QString(), 0}},
    {{QStringLiteral("IF;"), 38}, {QStringLiteral("SM;"), 7}, {QString(), 0}, {QString(), 0}, {QString(), 0}},
    // Like the five-byte set: frequency and mode (with VFO and split), the
    // receive state, the transmit state.
    {{QStringLiteral("f;m;v;s"), 0},
     {QStringLiteral("l STRENGTH;dcd"), 0},
     {QStringLiteral("t"), 0},
     {QString(), 0},
     {QString(), 0}},
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
