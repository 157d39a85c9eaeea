// Scripting.FileSystemObject for text files: opening, creating, reading and
// writing them, asking whether files and folders exist, deleting files, a
// file's size, and the parts of paths. Relative paths start at the script's
// folder; a backslash separates folders as a slash does. Text is read as
// UTF-8 (Windows-1252 when it is not valid UTF-8, UTF-16 after a byte-order
// mark) and written as UTF-8, or as UTF-16 with a byte-order mark when the
// script asks for Unicode. A file being written is replaced whole when its
// stream is closed or let go of, never left half written.
#include "script/ScriptObjects.h"

#include "script/ScriptError.h"
#include "script/ScriptSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

[[noreturn]] void Fail(int Number, const QString &Name = {}) { throw TScriptError(Number, {}, Name); }

QString Text(const TScriptValue &Value)
{
    if (Value.IsNull())
        Fail(ScriptErr::InvalidNull);
    return Value.ToString();
}

QByteArray Encode(const QString &Text, bool Unicode)
{
    if (!Unicode)
        return Text.toUtf8();
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return encoder.encode(Text);
}

// "File not found", or "Path not found" when the folder is missing too.
[[noreturn]] void Missing(const QString &Path)
{
    Fail(QFileInfo(Path).dir().exists() ? ScriptErr::FileNotFound : ScriptErr::PathNotFound);
}

class TTextStream : public TScriptObject
{
public:
    // For reading: the whole text of the file.
    explicit TTextStream(QString Text) : m_text(std::move(Text)) {}
    // For writing: the file's new content so far (an appended file's old one).
    TTextStream(const QString &Path, const QByteArray &Start, bool Unicode) : m_file(std::make_unique<QSaveFile>(Path)), m_unicode(Unicode)
    {
        if (!m_file->open(QIODevice::WriteOnly)) {
            const bool folder = QFileInfo(Path).dir().exists();
            m_file.reset();
            Fail(folder ? ScriptErr::PermissionDenied : ScriptErr::PathNotFound);
        }
        Put(Start);
    }
    ~TTextStream() override { Commit(); }

    enum Member { ReadLine, ReadAll, Read, SkipLine, AtEndOfStream, Write, WriteLine, WriteBlankLines, Close };

    int MemberId(const QString &Name) const override
    {
        return ScriptMemberIndex(Name, {"readline", "readall", "read", "skipline", "atendofstream", "write",
                                        "writeline", "writeblanklines", "close"});
    }
    QString TypeName() const override { return QStringLiteral("TextStream"); }

    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override
    {
        if (Kind == TScriptInvoke::Put || Kind == TScriptInvoke::PutRef)
            Fail(ScriptErr::NoSuchMember);
        if (Id == Close) {
            ScriptRequireArgs(Args, 0, 0);
            Commit();
            m_closed = true;
            return TScriptValue();
        }
        const bool writing = Id >= Write;
        if (m_closed || writing != (m_file != nullptr))
            Fail(ScriptErr::BadFileMode);
        switch (Id) {
        case ReadLine:
        case SkipLine: {
            ScriptRequireArgs(Args, 0, 0);
            AtEnd();
            qsizetype end = m_pos;
            while (end < m_text.size() && m_text.at(end) != QLatin1Char('\n') && m_text.at(end) != QLatin1Char('\r'))
                ++end;
            QString line = m_text.mid(m_pos, end - m_pos);
            m_pos = end + (m_text.mid(end, 2) == QLatin1String("\r\n") ? 2 : 1);
            return Id == ReadLine ? TScriptValue(std::move(line)) : TScriptValue();
        }
        case ReadAll:
        case Read: {
            ScriptRequireArgs(Args, Id == Read ? 1 : 0, Id == Read ? 1 : 0);
            const qint32 count = Id == Read ? Args[0].ToLong() : -1;
            if (Id == Read && count < 0)
                Fail(ScriptErr::InvalidCall);
            AtEnd();
            QString part = m_text.mid(m_pos, count);
            m_pos += part.size();
            return TScriptValue(std::move(part));
        }
        case AtEndOfStream:
            ScriptRequireArgs(Args, 0, 0);
            return TScriptValue::FromBool(m_pos >= m_text.size());
        case Write:
            ScriptRequireArgs(Args, 1, 1);
            Put(Encode(Text(Args[0]), m_unicode));
            return TScriptValue();
        case WriteLine:
            ScriptRequireArgs(Args, 0, 1);
            Put(Encode((Args.empty() ? QString() : Text(Args[0])) + QStringLiteral("\r\n"), m_unicode));
            return TScriptValue();
        default: {
            ScriptRequireArgs(Args, 1, 1);
            const qint32 count = Args[0].ToLong();
            if (count < 0)
                Fail(ScriptErr::InvalidCall);
            Put(Encode(QStringLiteral("\r\n").repeated(count), m_unicode));
            return TScriptValue();
        }
        }
    }

private:
    void AtEnd() const
    {
        if (m_pos >= m_text.size())
            Fail(ScriptErr::PastEndOfFile);
    }

    void Put(const QByteArray &Bytes)
    {
        if (m_file->write(Bytes) != Bytes.size())
            Fail(ScriptErr::PermissionDenied);
    }

    void Commit()
    {
        if (m_file && !m_closed)
            m_file->commit();
    }

    QString m_text;
    qsizetype m_pos = 0;
    std::unique_ptr<QSaveFile> m_file;
    bool m_unicode = false;
    bool m_closed = false;
};

class TFileObject : public TScriptObject
{
public:
    explicit TFileObject(QString Path) : m_path(std::move(Path)) {}

    int MemberId(const QString &Name) const override { return ScriptMemberIndex(Name, {"path", "name", "size"}); }
    int DefaultMemberId() const override { return 0; }
    QString TypeName() const override { return QStringLiteral("File"); }

    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override
    {
        if (Kind == TScriptInvoke::Put || Kind == TScriptInvoke::PutRef)
            Fail(ScriptErr::NoSuchMember);
        ScriptRequireArgs(Args, 0, 0);
        const QFileInfo info(m_path);
        if (!info.isFile())
            Fail(ScriptErr::FileNotFound);
        switch (Id) {
        case 0: return TScriptValue(info.absoluteFilePath());
        case 1: return TScriptValue(info.fileName());
        default: return TScriptValue::FromWhole(info.size());
        }
    }

private:
    QString m_path;
};

// The last part of a path, without the separators after it.
QString LastPart(QString Path)
{
    Path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (Path.endsWith(QLatin1Char('/')))
        Path.chop(1);
    return Path.mid(Path.lastIndexOf(QLatin1Char('/')) + 1);
}

class TFileSystem : public TScriptObject
{
public:
    explicit TFileSystem(QString Folder) : m_folder(std::move(Folder)) {}

    enum Member { OpenTextFile, CreateTextFile, FileExists, FolderExists, DeleteFile, GetFile, BuildPath,
                  GetBaseName, GetExtensionName };

    int MemberId(const QString &Name) const override
    {
        return ScriptMemberIndex(Name, {"opentextfile", "createtextfile", "fileexists", "folderexists", "deletefile",
                                        "getfile", "buildpath", "getbasename", "getextensionname"});
    }
    QString TypeName() const override { return QStringLiteral("FileSystemObject"); }

    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override
    {
        if (Kind == TScriptInvoke::Put || Kind == TScriptInvoke::PutRef)
            Fail(ScriptErr::NoSuchMember);
        switch (Id) {
        case OpenTextFile: {
            ScriptRequireArgs(Args, 1, 4);
            const qint32 mode = Args.size() > 1 && !Args[1].IsEmpty() ? Args[1].ToLong() : 1;
            const bool create = Args.size() > 2 && Args[2].ToBool();
            const qint32 format = Args.size() > 3 ? Args[3].ToLong() : 0;
            if ((mode != 1 && mode != 2 && mode != 8) || format < -2 || format > 0)
                Fail(ScriptErr::InvalidCall);
            return Open(Path(Args[0]), mode, create, format == -1);
        }
        case CreateTextFile: {
            ScriptRequireArgs(Args, 1, 3);
            const QString path = Path(Args[0]);
            const bool overwrite = Args.size() < 2 || Args[1].ToBool();
            if (!overwrite && QFileInfo::exists(path))
                Fail(ScriptErr::FileExists);
            return Open(path, 2, true, Args.size() > 2 && Args[2].ToBool());
        }
        case FileExists:
        case FolderExists: {
            ScriptRequireArgs(Args, 1, 1);
            const QFileInfo info(Path(Args[0]));
            return TScriptValue::FromBool(Id == FileExists ? info.isFile() : info.isDir());
        }
        case DeleteFile:
            ScriptRequireArgs(Args, 1, 2);
            Delete(Path(Args[0]));
            return TScriptValue();
        case GetFile: {
            ScriptRequireArgs(Args, 1, 1);
            const QString path = Path(Args[0]);
            if (!QFileInfo(path).isFile())
                Missing(path);
            return TScriptValue::FromObject(std::make_shared<TFileObject>(path));
        }
        case BuildPath: {
            ScriptRequireArgs(Args, 2, 2);
            const QString folder = Text(Args[0]);
            const QString name = Text(Args[1]);
            if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
                return TScriptValue(folder + name);
            return TScriptValue(folder + QLatin1Char('/') + name);
        }
        default: {
            ScriptRequireArgs(Args, 1, 1);
            const QString name = LastPart(Text(Args[0]));
            const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
            if (Id == GetBaseName)
                return TScriptValue(dot < 0 ? name : name.left(dot));
            return TScriptValue(dot < 0 ? QString() : name.mid(dot + 1));
        }
        }
    }

private:
    QString Path(const TScriptValue &Value) const
    {
        QString path = Text(Value);
        if (path.isEmpty())
            Fail(ScriptErr::InvalidCall);
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return QDir(m_folder).absoluteFilePath(path);
    }

    static TScriptValue Open(const QString &Path, int Mode, bool Create, bool Unicode)
    {
        QFile file(Path);
        const bool exists = QFileInfo(Path).isFile();
        if (!exists && (Mode == 1 || !Create))
            Missing(Path);
        QByteArray bytes;
        if (exists && Mode != 2) {
            if (!file.open(QIODevice::ReadOnly))
                Fail(ScriptErr::PermissionDenied);
            bytes = file.readAll();
        }
        if (Mode == 1) {
            QString text;
            if (Unicode && !bytes.startsWith("\xFF\xFE")) {
                QStringDecoder decoder(QStringDecoder::Utf16LE);
                text = decoder.decode(bytes);
            } else {
                text = DecodeScriptText(bytes);
            }
            return TScriptValue::FromObject(std::make_shared<TTextStream>(std::move(text)));
        }
        // Appending goes on in the file's own Unicode; a new Unicode file
        // starts with its byte-order mark.
        if (Mode == 8 && bytes.startsWith("\xFF\xFE"))
            Unicode = true;
        if (Mode == 2 && Unicode)
            bytes = QByteArray("\xFF\xFE");
        return TScriptValue::FromObject(std::make_shared<TTextStream>(Path, bytes, Unicode));
    }

    static void Delete(const QString &Spec)
    {
        const QFileInfo info(Spec);
        QStringList files;
        if (info.fileName().contains(QLatin1Char('*')) || info.fileName().contains(QLatin1Char('?'))) {
            for (const QString &name : info.dir().entryList({info.fileName()}, QDir::Files))
                files << info.dir().filePath(name);
        } else if (info.isFile()) {
            files << Spec;
        }
        if (files.isEmpty())
            Missing(Spec);
        for (const QString &file : files)
            if (!QFile::remove(file))
                Fail(ScriptErr::PermissionDenied);
    }

    QString m_folder;
};

} // namespace

std::shared_ptr<TScriptObject> ScriptMakeFileSystem(const QString &Folder)
{
    return std::make_shared<TFileSystem>(Folder);
}
