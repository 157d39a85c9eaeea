#include "script/ScriptObject.h"

#include "script/ScriptError.h"

int ScriptMemberIndex(const QString &Name, std::initializer_list<const char *> Names)
{
    int index = 0;
    for (const char *candidate : Names) {
        if (Name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0)
            return index;
        ++index;
    }
    return -1;
}

void ScriptRequireArgs(TScriptArgs Args, qsizetype Min, qsizetype Max, const QString &Member)
{
    const auto count = static_cast<qsizetype>(Args.size());
    if (count < Min || count > Max)
        throw TScriptError(ScriptErr::WrongArguments, {}, Member);
}
