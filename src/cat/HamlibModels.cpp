#include "cat/HamlibModels.h"

#include "cat/HamlibRig.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <clocale>

namespace {

int collect(const rig_caps *caps, rig_ptr_t data)
{
    if (caps->rig_model != RIG_MODEL_NETRIGCTL)
        static_cast<QList<THamlibModel> *>(data)->append(
            {int(caps->rig_model), QString::fromUtf8(caps->mfg_name), QString::fromUtf8(caps->model_name)});
    return 1; // go on
}

} // namespace

void PrepareHamlib()
{
    static std::once_flag prepared;
    std::call_once(prepared, [] {
        // Hamlib's own debug output would go to the program's standard error.
        rig_set_debug(RIG_DEBUG_NONE);
        // Hamlib switches the numeric locale to "C" while it parses numbers
        // and keeps the name of the one before, which that switch frees
        // unless it is "C" already. Nothing of ours formats numbers with the
        // C library; Qt has its own locale.
        std::setlocale(LC_NUMERIC, "C");
    });
}

std::mutex &HamlibLibraryMutex()
{
    static std::mutex mutex;
    return mutex;
}

const QList<THamlibModel> &HamlibModels()
{
    static const QList<THamlibModel> models = [] {
        QList<THamlibModel> list;
        PrepareHamlib();
        std::lock_guard lock(HamlibLibraryMutex());
        rig_load_all_backends();
        rig_list_foreach(collect, &list);
        std::sort(list.begin(), list.end(), [](const THamlibModel &a, const THamlibModel &b) {
            const int maker = a.Maker.compare(b.Maker, Qt::CaseInsensitive);
            return maker != 0 ? maker < 0 : a.Model.compare(b.Model, Qt::CaseInsensitive) < 0;
        });
        return list;
    }();
    return models;
}

int FindHamlibModel(const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return 0;
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    int found = 0;
    for (const THamlibModel &model : HamlibModels()) {
        const bool fits = isNumber ? model.Number == number
                                   : wanted.compare(model.Model, Qt::CaseInsensitive) == 0
                                         || wanted.compare(model.Maker + u' ' + model.Model, Qt::CaseInsensitive) == 0;
        if (!fits)
            continue;
        if (found != 0)
            return 0;
        found = model.Number;
    }
    if (isNumber && number == HamlibNetworkModel)
        return number;
    return found;
}

QStringList HamlibSpeeds()
{
    return {QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),  QStringLiteral("9600"),
            QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"), QStringLiteral("115200")};
}

TTcvrType HamlibModelType(int model)
{
    PrepareHamlib();
    std::lock_guard lock(HamlibLibraryMutex());
    RIG *rig = rig_init(rig_model_t(model));
    if (!rig)
        return TcvrTypes[0];
    const TTcvrType type = HamlibRigType(*rig);
    rig_cleanup(rig);
    return type;
}
