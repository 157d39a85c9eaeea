#pragma once

// A VBScript variant: Empty, Null, Boolean, Integer (16 bits), Long (32 bits),
// Double, Date, Single, Byte, Currency (a 64-bit count of ten-thousandths),
// String, an object reference (Nothing is a null reference) or an array of
// variants. Arrays have value semantics, as in VBScript: a copy
// shares the elements until one side changes them.

#include <QString>

#include <memory>
#include <vector>

class TScriptObject;
struct TScriptArray;

class TScriptValue
{
public:
    // In the order the fast paths test them: everything before String holds
    // no resource.
    enum Type : quint8 { Empty, Null, Boolean, Integer, Long, Double, Date, Single, Byte, Currency, String, Object, Array };

    TScriptValue() noexcept : m_type(Empty) { m_i64 = 0; }
    TScriptValue(const QString &Text) : m_type(String) { new (&m_s) QString(Text); }
    TScriptValue(QString &&Text) noexcept : m_type(String) { new (&m_s) QString(std::move(Text)); }
    TScriptValue(const char *Text) : TScriptValue(QString::fromUtf8(Text)) {}
    TScriptValue(const TScriptValue &Other) : m_type(Other.m_type)
    {
        if (m_type < String)
            m_i64 = Other.m_i64;
        else
            CopyResource(Other);
    }
    TScriptValue(TScriptValue &&Other) noexcept : m_type(Other.m_type)
    {
        if (m_type < String)
            m_i64 = Other.m_i64;
        else
            MoveResource(std::move(Other));
    }
    ~TScriptValue()
    {
        if (m_type >= String)
            Release();
    }
    TScriptValue &operator=(const TScriptValue &Other)
    {
        if (this != &Other) {
            if (m_type < String && Other.m_type < String) {
                m_type = Other.m_type;
                m_i64 = Other.m_i64;
            } else {
                TScriptValue copy(Other);
                *this = std::move(copy);
            }
        }
        return *this;
    }
    TScriptValue &operator=(TScriptValue &&Other) noexcept
    {
        if (this != &Other) {
            if (m_type >= String)
                Release();
            m_type = Other.m_type;
            if (m_type < String)
                m_i64 = Other.m_i64;
            else
                MoveResource(std::move(Other));
        }
        return *this;
    }

    static TScriptValue MakeNull() { TScriptValue v; v.m_type = Null; return v; }
    static TScriptValue FromBool(bool Value) { TScriptValue v; v.m_type = Boolean; v.m_b = Value; return v; }
    static TScriptValue FromInteger(qint16 Value) { TScriptValue v; v.m_type = Integer; v.m_i = Value; return v; }
    static TScriptValue FromLong(qint32 Value) { TScriptValue v; v.m_type = Long; v.m_i = Value; return v; }
    // The narrowest of Integer, Long and Double that holds the value, as
    // VBScript's arithmetic promotes a result.
    static TScriptValue FromWhole(qint64 Value);
    static TScriptValue FromDouble(double Value) { TScriptValue v; v.m_type = Double; v.m_d = Value; return v; }
    // Days since 30 December 1899, the time of day as the fraction.
    static TScriptValue FromDate(double Serial) { TScriptValue v; v.m_type = Date; v.m_d = Serial; return v; }
    static TScriptValue FromSingle(float Value) { TScriptValue v; v.m_type = Single; v.m_d = Value; return v; }
    static TScriptValue FromByte(quint8 Value) { TScriptValue v; v.m_type = Byte; v.m_i = Value; return v; }
    static TScriptValue FromCurrency(qint64 TenThousandths) { TScriptValue v; v.m_type = Currency; v.m_i64 = TenThousandths; return v; }
    static TScriptValue FromObject(std::shared_ptr<TScriptObject> Object);
    static TScriptValue Nothing() { return FromObject(nullptr); }
    static TScriptValue FromArray(std::shared_ptr<TScriptArray> Items);

    Type type() const { return m_type; }
    bool IsEmpty() const { return m_type == Empty; }
    bool IsNull() const { return m_type == Null; }
    bool IsObject() const { return m_type == Object; }
    bool IsArray() const { return m_type == Array; }
    bool IsString() const { return m_type == String; }
    // Integer or Long.
    bool IsWhole() const { return m_type == Integer || m_type == Long; }
    bool IsNothing() const { return m_type == Object && !m_o; }

    // Raw contents; valid only for the matching type (WholeValue for Byte
    // too, DoubleValue for Date and Single).
    bool BoolValue() const { return m_b; }
    qint32 WholeValue() const { return m_i; }
    double DoubleValue() const { return m_d; }
    qint64 CurrencyValue() const { return m_i64; }
    const QString &StringValue() const { return m_s; }
    const std::shared_ptr<TScriptObject> &ObjectValue() const { return m_o; }
    const TScriptArray &ArrayValue() const { return *m_a; }
    // The array for changing: detached first when another value shares it.
    TScriptArray &MutableArray();

    // VBScript's conversions (CBool, CInt, CLng, CDbl, CStr, CSng, CByte,
    // CCur in ten-thousandths). They raise Type mismatch, Overflow or
    // Invalid use of Null as VBScript does; an object gives its default
    // property's value.
    bool ToBool() const;
    qint16 ToInteger() const;
    qint32 ToLong() const;
    double ToDouble() const;
    QString ToString() const;
    float ToSingle() const;
    quint8 ToByte() const;
    qint64 ToCurrency() const;

    // VarType's number (vbEmpty 0 ... vbArray + vbVariant 8204) and TypeName.
    int VarType() const;
    QString TypeName() const;

    // An object's default property (Err.Number, a host's value); other values
    // as they are.
    TScriptValue Resolved() const;

private:
    void CopyResource(const TScriptValue &Other);
    void MoveResource(TScriptValue &&Other) noexcept;
    void Release() noexcept;

    Type m_type;
    union {
        bool m_b;
        qint32 m_i;
        double m_d;
        qint64 m_i64;
        QString m_s;
        std::shared_ptr<TScriptObject> m_o;
        std::shared_ptr<TScriptArray> m_a;
    };
};

// The elements of an array, first index varying fastest (the order in which
// For Each visits them and the one ReDim Preserve keeps). Lower bounds are 0.
struct TScriptArray
{
    // Upper bound of each dimension; no dimensions for a dynamic array not
    // dimensioned yet (Dim a()).
    std::vector<qint32> Upper;
    std::vector<TScriptValue> Items;
    // Declared with its size (Dim a(5)): ReDim refuses it.
    bool Fixed = false;

    // The element at the given indexes; Subscript out of range for a wrong
    // count of indexes or an index outside its bounds.
    qsizetype Offset(const qint32 *Indexes, qsizetype Count) const;

    // A new array, or a copy of one. Arrays made here are freed without
    // recursion, however deeply a script nests arrays in arrays.
    static std::shared_ptr<TScriptArray> Make();
    static std::shared_ptr<TScriptArray> Make(const TScriptArray &Other);
};

// Deletes Object with Delete, after any deletion already under way: what a
// container frees through this is freed in a loop, not by recursion.
void ScriptDeferDelete(void *Object, void (*Delete)(void *));

// Conversions of text to numbers and back as VBScript makes them.
namespace ScriptText {
// A number in text (blanks around it, sign, decimals, exponent, &H and &O
// forms); false for anything else, "" included.
bool ParseNumber(const QString &Text, double &Value);
// Up to 15 significant digits, exponent form outside 1E-4 .. 1E+15 ("1E-05").
QString FormatDouble(double Value);
// A Single's 7 significant digits ("0.3333333", "1.234568E+07").
QString FormatSingle(float Value);
// A Currency of ten-thousandths: up to four decimals, never an exponent.
QString FormatCurrencyValue(qint64 TenThousandths);
// "M/D/YYYY h:mm:ss AM" of a date serial, date or time alone when the other
// part is zero.
QString FormatDate(double Serial);
}
