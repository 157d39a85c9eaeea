// Scripting.Dictionary: items under unique keys, kept in the order they
// were added. Keys are compared as values: 1, CLng(1) and 1.0 are one key,
// "1" another; text keys ignore case when CompareMode is vbTextCompare;
// objects are compared by identity.
#include "script/ScriptObjects.h"

#include "script/ScriptRuntime.h"

#include <QHash>

namespace {

[[noreturn]] void Fail(int Number) { throw TScriptError(Number); }

class TDictionary : public TScriptOwned
{
public:
    enum Member { Add, Item, Exists, Remove, RemoveAll, Keys, Items, Count, CompareMode, Key };

    int MemberId(const QString &Name) const override
    {
        return ScriptMemberIndex(Name, {"add", "item", "exists", "remove", "removeall", "keys", "items", "count",
                                        "comparemode", "key"});
    }
    int DefaultMemberId() const override { return Item; }
    QString TypeName() const override { return QStringLiteral("Dictionary"); }

    bool Enumerate(std::vector<TScriptValue> &Out) override
    {
        for (const auto &entry : m_entries)
            Out.push_back(entry.first);
        return true;
    }

    void Detach() override
    {
        decltype(m_entries) entries;
        entries.swap(m_entries);
        m_index.clear();
    }

    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override
    {
        const bool put = Kind == TScriptInvoke::Put || Kind == TScriptInvoke::PutRef;
        switch (Id) {
        case Add:
            ScriptRequireArgs(Args, 2, 2);
            if (m_index.contains(KeyOf(Args[0])))
                Fail(ScriptErr::KeyExists);
            Append(Args[0], Args[1]);
            return TScriptValue();
        case Item: {
            ScriptRequireArgs(Args, put ? 2 : 1, put ? 2 : 1);
            // Reading a missing key adds it, with an Empty item.
            const qsizetype at = Find(Args[0], true);
            if (!put)
                return m_entries[static_cast<std::size_t>(at)].second;
            m_entries[static_cast<std::size_t>(at)].second = Args[1];
            return TScriptValue();
        }
        case Exists:
            ScriptRequireArgs(Args, 1, 1);
            return TScriptValue::FromBool(m_index.contains(KeyOf(Args[0])));
        case Remove: {
            ScriptRequireArgs(Args, 1, 1);
            const qsizetype at = Find(Args[0], false);
            m_entries.erase(m_entries.begin() + at);
            Reindex();
            return TScriptValue();
        }
        case RemoveAll:
            ScriptRequireArgs(Args, 0, 0);
            Detach();
            return TScriptValue();
        case Keys:
        case Items: {
            ScriptRequireArgs(Args, 0, 0);
            auto list = TScriptArray::Make();
            list->Upper = {static_cast<qint32>(m_entries.size()) - 1};
            for (const auto &entry : m_entries)
                list->Items.push_back(Id == Keys ? entry.first : entry.second);
            return TScriptValue::FromArray(std::move(list));
        }
        case Count:
            ScriptRequireArgs(Args, 0, 0);
            return TScriptValue::FromLong(static_cast<qint32>(m_entries.size()));
        case CompareMode: {
            if (!put) {
                ScriptRequireArgs(Args, 0, 0);
                return TScriptValue::FromLong(m_textCompare ? 1 : 0);
            }
            ScriptRequireArgs(Args, 1, 1);
            const qint32 mode = Args[0].ToLong();
            // Only an empty dictionary changes how it compares.
            if (mode < 0 || mode > 2 || !m_entries.empty())
                Fail(ScriptErr::InvalidCall);
            m_textCompare = mode != 0;
            return TScriptValue();
        }
        default: {
            // Key(old) = new renames a key.
            if (!put)
                Fail(ScriptErr::NoSuchMember);
            ScriptRequireArgs(Args, 2, 2);
            const qsizetype at = Find(Args[0], false);
            if (m_index.contains(KeyOf(Args[1])))
                Fail(ScriptErr::KeyExists);
            m_entries[static_cast<std::size_t>(at)].first = Args[1];
            Reindex();
            return TScriptValue();
        }
        }
    }

private:
    QString KeyOf(const TScriptValue &Key) const
    {
        switch (Key.type()) {
        case TScriptValue::Empty: return QStringLiteral("e");
        case TScriptValue::Null: return QStringLiteral("z");
        case TScriptValue::String:
            return QLatin1Char('s') + (m_textCompare ? Key.StringValue().toCaseFolded() : Key.StringValue());
        case TScriptValue::Object:
            return QLatin1Char('o') + QString::number(reinterpret_cast<quintptr>(Key.ObjectValue().get()), 16);
        case TScriptValue::Array: Fail(ScriptErr::TypeMismatch);
        default: return QLatin1Char('n') + QString::number(Key.ToDouble(), 'g', 17);
        }
    }

    void Append(const TScriptValue &Key, const TScriptValue &Item)
    {
        m_index.insert(KeyOf(Key), static_cast<qsizetype>(m_entries.size()));
        m_entries.emplace_back(Key, Item);
    }

    // The entry of Key: added when missing and Create, else Element not found.
    qsizetype Find(const TScriptValue &Key, bool Create)
    {
        const auto found = m_index.constFind(KeyOf(Key));
        if (found != m_index.cend())
            return found.value();
        if (!Create)
            Fail(ScriptErr::ElementNotFound);
        Append(Key, TScriptValue());
        return static_cast<qsizetype>(m_entries.size()) - 1;
    }

    void Reindex()
    {
        m_index.clear();
        for (std::size_t i = 0; i < m_entries.size(); ++i)
            m_index.insert(KeyOf(m_entries[i].first), static_cast<qsizetype>(i));
    }

    std::vector<std::pair<TScriptValue, TScriptValue>> m_entries;
    QHash<QString, qsizetype> m_index;
    bool m_textCompare = false;
};

} // namespace

std::shared_ptr<TScriptObject> ScriptCreateObject(TScriptRuntime &Runtime, const QString &ProgId)
{
    if (ProgId.compare(QLatin1String("Scripting.Dictionary"), Qt::CaseInsensitive) == 0) {
        // Freed through the list, so that dictionaries nested a million deep
        // do not exhaust the stack.
        std::shared_ptr<TDictionary> dictionary(new TDictionary, [](TDictionary *d) {
            ScriptDeferDelete(d, [](void *p) { delete static_cast<TDictionary *>(p); });
        });
        Runtime.Own(dictionary);
        return dictionary;
    }
    if (ProgId.compare(QLatin1String("Scripting.FileSystemObject"), Qt::CaseInsensitive) == 0
        && !Runtime.ScriptFolder.isEmpty())
        return ScriptMakeFileSystem(Runtime.ScriptFolder);
    return nullptr;
}
