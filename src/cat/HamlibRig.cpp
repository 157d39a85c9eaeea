#include "cat/HamlibRig.h"

#include "cat/HamlibCommands.h"
#include "cat/HamlibModels.h"

#include <hamlib/rig.h>

#include <QStringList>

#include <cmath>
#include <cstring>
#include <functional>
#include <mutex>
#include <type_traits>

static_assert(std::is_same_v<vfo_t, unsigned>, "THamlibRig::otherVfo takes Hamlib's vfo_t");

namespace {

// Two strikes leave a read out of the polls; a refusal counts as both.
constexpr int LeftOut = 2;
// How long the engine waits for any answer before it restarts the link.
constexpr quint32 HamlibWatchdogMs = 2000;

void setConf(RIG *rig, const char *name, const QString &value)
{
    rig_set_conf(rig, rig_token_lookup(rig, name), value.toLocal8Bit().constData());
}

QString controlLine(int choice)
{
    return choice == 1 ? QStringLiteral("ON") : QStringLiteral("OFF");
}

vfo_t otherOf(vfo_t vfo)
{
    switch (vfo) {
    case RIG_VFO_B: return RIG_VFO_A;
    case RIG_VFO_MAIN: return RIG_VFO_SUB;
    case RIG_VFO_SUB: return RIG_VFO_MAIN;
    default: return RIG_VFO_B;
    }
}

// Hamlib keeps a set of VFO operations in a field of its enumeration's type:
// read as the bits it is (a load as the enumeration is undefined behaviour).
bool hasVfoOp(const rig_caps *caps, vfo_op_t op)
{
    std::underlying_type_t<vfo_op_t> ops = 0;
    std::memcpy(&ops, &caps->vfo_ops, sizeof ops);
    return ops & op;
}

QList<TFrequencyRange> rangesOf(const freq_range_t *list, int *lowMw, int *highMw)
{
    QList<TFrequencyRange> ranges;
    for (int i = 0; i < HAMLIB_FRQRANGESIZ && !RIG_IS_FRNG_END(list[i]); ++i) {
        ranges.append({qint64(list[i].startf), qint64(list[i].endf), list[i].modes == RIG_MODE_WFM});
        if (lowMw && list[i].low_power > 0)
            *lowMw = *lowMw > 0 ? qMin(*lowMw, list[i].low_power) : list[i].low_power;
        if (highMw)
            *highMw = qMax(*highMw, list[i].high_power);
    }
    return ranges;
}

} // namespace

THamlibRig::~THamlibRig()
{
    Close();
}

QString THamlibRig::ErrorText(int code)
{
    // rigerror() adds Hamlib's last debug lines; the table's text is enough.
    return QString::fromLatin1(rigerror2(code)).trimmed();
}

bool THamlibRig::IsSilence(int code)
{
    switch (-qAbs(code)) {
    case -RIG_ETIMEOUT:
    case -RIG_EIO:
    case -RIG_EPROTO:
    case -RIG_ETRUNC:
    case -RIG_BUSERROR:
    case -RIG_BUSBUSY:
    case -RIG_EPOWER: return true;
    default: return false;
    }
}

bool THamlibRig::Open(const TSerialSettings &settings, QString *failure)
{
    Close();
    settings_ = settings;
    strikes_.clear();
    answeredBefore_ = false;
    ioFailed_ = false;
    txTone_ = rxTone_ = -1;

    RIG *rig = nullptr;
    PrepareHamlib();
    {
        std::lock_guard lock(HamlibLibraryMutex());
        rig = rig_init(rig_model_t(settings.HamlibModel));
    }
    if (!rig) {
        *failure = QStringLiteral("Hamlib has no radio model %1.").arg(settings.HamlibModel);
        return false;
    }
    const bool serial = rig->caps->port_type == RIG_PORT_SERIAL;
    const QString where = serial ? TCatLink::DevicePath(settings.Port) : settings.Port;
    // A radio without a port (Hamlib's dummy) would take the name for a file.
    if (rig->caps->port_type != RIG_PORT_NONE)
        setConf(rig, "rig_pathname", where);
    if (serial) {
        const int speed = settings.SpeedText.section(u' ', 0, 0).toInt();
        if (speed > 0)
            setConf(rig, "serial_speed", QString::number(speed));
        if (settings.Dtr == 2 || settings.Rts == 2) {
            setConf(rig, "serial_handshake", QStringLiteral("Hardware"));
        } else {
            setConf(rig, "dtr_state", controlLine(settings.Dtr));
            setConf(rig, "rts_state", controlLine(settings.Rts));
        }
    }
    // A radio without a PTT line of its own whose backend keys it by command
    // (Hamlib's dummy) is keyed by command.
    if (rig->caps->ptt_type == RIG_PTT_NONE && rig->caps->set_ptt)
        setConf(rig, "ptt_type", QStringLiteral("RIG"));
    // Every poll reads the radio: Hamlib's cache would answer from the past.
    rig_set_cache_timeout_ms(rig, HAMLIB_CACHE_ALL, 0);

    const int code = rig_open(rig);
    if (code != RIG_OK) {
        const QString reason = ErrorText(code);
        {
            std::lock_guard lock(HamlibLibraryMutex());
            rig_cleanup(rig);
        }
        *failure = rig_model_t(settings.HamlibModel) == RIG_MODEL_NETRIGCTL
                       ? QStringLiteral("Cannot reach rigctld at %1 (Hamlib: %2).").arg(where, reason)
                       : QStringLiteral("Cannot open the radio on %1 (Hamlib: %2).").arg(where, reason);
        return false;
    }
    rig_ = rig;
    // What the backend has no function for is never asked.
    const rig_caps *caps = rig->caps;
    const struct { const char *read; bool missing; } missing[] = {
        {"v", !caps->get_vfo},
        {"s", !caps->get_split_vfo},
        {"t", !caps->get_ptt},
        {"dcd", !caps->get_dcd},
        {"l STRENGTH", !rig_has_get_level(rig, RIG_LEVEL_STRENGTH)},
    };
    for (const auto &row : missing)
        if (row.missing)
            strikes_[QString::fromLatin1(row.read)] = LeftOut;
    return true;
}

void THamlibRig::Close()
{
    if (!rig_)
        return;
    ioFailed_ = false;
    rig_close(rig_);
    std::lock_guard lock(HamlibLibraryMutex());
    rig_cleanup(rig_);
    rig_ = nullptr;
}

bool THamlibRig::Reopen()
{
    if (!ioFailed_ || settings_.HamlibModel == 0)
        return true;
    QString failure;
    if (Open(settings_, &failure))
        return true;
    ioFailed_ = true; // tried again at the next restart
    return false;
}

TTcvrType THamlibRig::Type() const
{
    return rig_ ? HamlibRigType(*rig_) : TTcvrType{};
}

TTransfer THamlibRig::Execute(const QString &command, QString *failure)
{
    TTransfer transfer;
    if (!rig_) {
        *failure = QStringLiteral("Radio does not answer (Hamlib: %1)").arg(ErrorText(-RIG_EIO));
        return transfer;
    }
    if (command.isEmpty() || command.at(0).isUpper()) {
        const int code = command.isEmpty() ? RIG_OK : set(command);
        ioFailed_ = code == -RIG_EIO;
        if (code == RIG_OK || !IsSilence(code))
            transfer.Result = ReplyRead;
        if (code != RIG_OK)
            *failure = IsSilence(code) ? QStringLiteral("Radio does not answer (Hamlib: %1)").arg(ErrorText(code))
                                       : QStringLiteral("Radio refused \"%1\" (Hamlib: %2)").arg(command, ErrorText(code));
        return transfer;
    }

    QStringList fields;
    bool answered = false;
    int silence = RIG_OK;
    for (const QString &what : command.split(u';')) {
        QString field;
        if (strikes_.value(what) < LeftOut) {
            const int code = read(what, &field);
            if (code == RIG_OK) {
                answered = true;
                strikes_.remove(what);
            } else if (IsSilence(code)) {
                // The frequency is every radio's: it is never left out.
                if ((answered || answeredBefore_) && what != u'f')
                    ++strikes_[what];
                if (silence == RIG_OK)
                    silence = code;
            } else {
                strikes_[what] = LeftOut;
            }
        }
        fields << field;
    }
    answeredBefore_ = answered;
    ioFailed_ = !answered && silence == -RIG_EIO;
    if (answered) {
        transfer.Result = ReplyRead;
        transfer.Reply = fields.join(u';');
        transfer.Count = int(transfer.Reply.size());
    } else if (silence != RIG_OK) {
        *failure = QStringLiteral("Radio does not answer (Hamlib: %1)").arg(ErrorText(silence));
    }
    return transfer;
}

int THamlibRig::read(const QString &what, QString *field)
{
    int code = -RIG_EINVAL;
    if (what == u'f') {
        freq_t frequency = 0;
        code = rig_get_freq(rig_, RIG_VFO_CURR, &frequency);
        *field = QString::number(qint64(std::llround(frequency)));
    } else if (what == u'm') {
        rmode_t mode = RIG_MODE_NONE;
        pbwidth_t width = 0;
        code = rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width);
        *field = QString::fromLatin1(rig_strrmode(mode));
    } else if (what == u'v') {
        vfo_t vfo = RIG_VFO_NONE;
        code = rig_get_vfo(rig_, &vfo);
        *field = QString::fromLatin1(rig_strvfo(vfo));
    } else if (what == u's') {
        split_t split = RIG_SPLIT_OFF;
        vfo_t tx = RIG_VFO_NONE;
        code = rig_get_split_vfo(rig_, RIG_VFO_CURR, &split, &tx);
        *field = split == RIG_SPLIT_ON ? QStringLiteral("1") : QStringLiteral("0");
    } else if (what == u't') {
        ptt_t ptt = RIG_PTT_OFF;
        code = rig_get_ptt(rig_, RIG_VFO_CURR, &ptt);
        *field = ptt != RIG_PTT_OFF ? QStringLiteral("1") : QStringLiteral("0");
    } else if (what == QLatin1String("dcd")) {
        dcd_t dcd = RIG_DCD_OFF;
        code = rig_get_dcd(rig_, RIG_VFO_CURR, &dcd);
        *field = dcd == RIG_DCD_ON ? QStringLiteral("1") : QStringLiteral("0");
    } else if (what == QLatin1String("l STRENGTH")) {
        value_t value{};
        code = rig_get_level(rig_, RIG_VFO_CURR, RIG_LEVEL_STRENGTH, &value);
        *field = QString::number(value.i);
    }
    if (code != RIG_OK)
        field->clear();
    return code;
}

int THamlibRig::set(const QString &command)
{
    const QStringList words = command.split(u' ');
    const QString verb = words.value(0);
    const QString first = words.value(1);
    if (verb == u'F')
        return rig_set_freq(rig_, RIG_VFO_CURR, freq_t(first.toLongLong()));
    if (verb == u'I')
        return rig_set_split_freq(rig_, RIG_VFO_CURR, freq_t(first.toLongLong()));
    if (verb == u'M' || verb == u'X') {
        const rmode_t mode = rig_parse_mode(first.toLatin1().constData());
        if (mode == RIG_MODE_NONE)
            return -RIG_EINVAL;
        const pbwidth_t width = pbwidth_t(words.value(2).toLong());
        return verb == u'M' ? rig_set_mode(rig_, RIG_VFO_CURR, mode, width)
                            : rig_set_split_mode(rig_, RIG_VFO_CURR, mode, width);
    }
    if (verb == u'T')
        return rig_set_ptt(rig_, RIG_VFO_CURR, first == u'1' ? RIG_PTT_ON : RIG_PTT_OFF);
    if (command == Set3::VfoToggle())
        return toggleVfo();
    if (command == Set3::VfoCopy())
        return copyVfo();
    if (verb == u'S') {
        vfo_t other = RIG_VFO_B;
        const int code = otherVfo(&other);
        if (code != RIG_OK)
            return code;
        const bool on = first == u'1';
        return rig_set_split_vfo(rig_, RIG_VFO_CURR, on ? RIG_SPLIT_ON : RIG_SPLIT_OFF, on ? other : otherOf(other));
    }
    if (verb == QLatin1String("CTCSS"))
        return setTones(first.toInt(), words.value(2).toInt());
    return -RIG_EINVAL;
}

int THamlibRig::otherVfo(vfo_t *vfo)
{
    vfo_t current = RIG_VFO_A;
    if (rig_->caps->get_vfo) {
        const int code = rig_get_vfo(rig_, &current);
        if (IsSilence(code))
            return code;
        if (code != RIG_OK)
            current = RIG_VFO_A;
    }
    *vfo = otherOf(current);
    return RIG_OK;
}

int THamlibRig::toggleVfo()
{
    if (rig_has_vfo_op(rig_, RIG_OP_TOGGLE))
        return rig_vfo_op(rig_, RIG_VFO_CURR, RIG_OP_TOGGLE);
    vfo_t other = RIG_VFO_B;
    const int code = otherVfo(&other);
    return code != RIG_OK ? code : rig_set_vfo(rig_, other);
}

int THamlibRig::copyVfo()
{
    if (rig_has_vfo_op(rig_, RIG_OP_CPY))
        return rig_vfo_op(rig_, RIG_VFO_CURR, RIG_OP_CPY);
    // Hamlib switches to the other VFO and back itself where the radio
    // cannot address it directly.
    freq_t frequency = 0;
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    vfo_t other = RIG_VFO_B;
    int code = rig_get_freq(rig_, RIG_VFO_CURR, &frequency);
    if (code == RIG_OK)
        code = rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width);
    if (code == RIG_OK)
        code = otherVfo(&other);
    if (code == RIG_OK)
        code = rig_set_freq(rig_, other, frequency);
    if (code == RIG_OK)
        code = rig_set_mode(rig_, other, mode, width);
    return code;
}

int THamlibRig::setTones(int txTone, int rxTone)
{
    if (txTone == txTone_ && rxTone == rxTone_)
        return RIG_OK;
    const bool toneSwitch = rig_has_set_func(rig_, RIG_FUNC_TONE);
    const bool squelchSwitch = rig_has_set_func(rig_, RIG_FUNC_TSQL);
    const rig_caps *caps = rig_->caps;
    // Off first: on radios whose tone squelch and encoder share one switch,
    // squelch off after the encoder went on would switch both off.
    struct Step { bool wanted; std::function<int()> call; };
    const Step steps[] = {
        {rxTone == 0 && squelchSwitch, [this] { return rig_set_func(rig_, RIG_VFO_CURR, RIG_FUNC_TSQL, 0); }},
        {rxTone == 0 && !squelchSwitch && caps->set_ctcss_sql, [this] { return rig_set_ctcss_sql(rig_, RIG_VFO_CURR, 0); }},
        {txTone == 0 && toneSwitch, [this] { return rig_set_func(rig_, RIG_VFO_CURR, RIG_FUNC_TONE, 0); }},
        {txTone == 0 && !toneSwitch && caps->set_ctcss_tone, [this] { return rig_set_ctcss_tone(rig_, RIG_VFO_CURR, 0); }},
        {txTone != 0 && caps->set_ctcss_tone, [this, txTone] { return rig_set_ctcss_tone(rig_, RIG_VFO_CURR, tone_t(txTone)); }},
        {txTone != 0 && toneSwitch, [this] { return rig_set_func(rig_, RIG_VFO_CURR, RIG_FUNC_TONE, 1); }},
        {rxTone != 0 && caps->set_ctcss_sql, [this, rxTone] { return rig_set_ctcss_sql(rig_, RIG_VFO_CURR, tone_t(rxTone)); }},
        {rxTone != 0 && squelchSwitch, [this] { return rig_set_func(rig_, RIG_VFO_CURR, RIG_FUNC_TSQL, 1); }},
    };
    for (const Step &step : steps) {
        if (!step.wanted)
            continue;
        if (const int code = step.call(); code != RIG_OK)
            return code;
    }
    txTone_ = txTone;
    rxTone_ = rxTone;
    return RIG_OK;
}

TTcvrType HamlibRigType(const s_rig &rigRef)
{
    RIG *rig = const_cast<RIG *>(&rigRef);
    const rig_caps *caps = rig->caps;
    TTcvrType type{};
    type.Model = QString::fromUtf8(caps->model_name);
    type.Maker = QString::fromUtf8(caps->mfg_name);
    type.CommandSet = 3;
    if (caps->port_type == RIG_PORT_SERIAL) {
        QStringList speeds;
        for (const QString &speed : HamlibSpeeds())
            if ((caps->serial_rate_min <= 0 || speed.toInt() >= caps->serial_rate_min)
                && (caps->serial_rate_max <= 0 || speed.toInt() <= caps->serial_rate_max))
                speeds << speed;
        type.Speeds = speeds.join(u',');
        if (speeds.contains(QString::number(caps->serial_rate_max)))
            type.DefaultSpeed = QString::number(caps->serial_rate_max);
        type.DtrChoices = QStringLiteral("Disabled,Enabled,Hand-shake");
        type.RtsChoices = type.DtrChoices;
    }
    type.HexCoded = false;
    // No acknowledgement to learn: Hamlib tells how each command went.
    type.ProbeReplyLength = 0;
    type.WatchdogInterval = HamlibWatchdogMs;
    // Set commands are answered by Hamlib's return code, never by bytes to wait for.
    type.AnswersSetCommands = false;
    type.HasVfoKeys = hasVfoOp(caps, RIG_OP_TOGGLE) || (caps->set_vfo && caps->get_vfo);
    type.HasSplit = caps->set_split_vfo != nullptr;
    type.HasMeter = rig_has_get_level(rig, RIG_LEVEL_STRENGTH) != 0;

    int lowMw = 0, highMw = 0;
    type.ReceiveRanges = rangesOf(rig->state.rx_range_list, nullptr, nullptr);
    type.TransmitRanges = rangesOf(rig->state.tx_range_list, &lowMw, &highMw);
    type.LowPowerMw = lowMw;
    type.HighPowerMw = highMw;
    type.AmHighPowerMw = highMw;
    for (int i = 0; i < HAMLIB_FRQRANGESIZ && !RIG_IS_FRNG_END(rig->state.tx_range_list[i]); ++i)
        if (rig->state.tx_range_list[i].modes == RIG_MODE_AM)
            type.AmHighPowerMw = rig->state.tx_range_list[i].high_power;
    type.TuningStepHz = 1;
    for (int i = 0; i < HAMLIB_TSLSTSIZ && rig->state.tuning_steps[i].modes != RIG_MODE_NONE; ++i)
        if (rig->state.tuning_steps[i].ts > 0 && (i == 0 || rig->state.tuning_steps[i].ts < type.TuningStepHz))
            type.TuningStepHz = int(rig->state.tuning_steps[i].ts);
    rmode_t modes = RIG_MODE_NONE;
    for (int i = 0; i < HAMLIB_FRQRANGESIZ && !RIG_IS_FRNG_END(rig->state.rx_range_list[i]); ++i)
        modes |= rig->state.rx_range_list[i].modes;
    for (const QString &mode : ModeNames) {
        const rmode_t bit = rig_parse_mode(Set3::HamlibModeName(mode).toLatin1().constData());
        (modes & bit ? type.Modes : type.ModesOff) << mode;
    }
    type.HamlibModel = int(caps->rig_model);
    return type;
}
