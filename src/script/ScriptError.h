#pragma once

// Errors of the VBScript interpreter. They carry VBScript's own numbers and
// texts, so that an operator's script that tests Err.Number behaves as it did
// under Windows, and a report can show "Line: n" with the description.

#include <QString>

// Numbers of the errors the interpreter raises itself.
namespace ScriptErr {
enum : int {
    InvalidCall = 5,           // Invalid procedure call or argument
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    ArrayFixed = 10,           // This array is fixed or temporarily locked
    DivisionByZero = 11,
    TypeMismatch = 13,
    OutOfStringSpace = 14,
    OutOfStack = 28,
    FileNotFound = 53,
    BadFileMode = 54,
    FileExists = 58,
    PastEndOfFile = 62,
    PermissionDenied = 70,
    PathNotFound = 76,
    ObjectNotSet = 91,
    InvalidNull = 94,          // Invalid use of Null
    ObjectRequired = 424,
    CannotCreateObject = 429,
    NoSuchMember = 438,        // Object doesn't support this property or method
    WrongArguments = 450,      // Wrong number of arguments or invalid property assignment
    NotACollection = 451,
    KeyExists = 457,           // This key is already associated with an element of this collection
    VariableUndefined = 500,
    IllegalAssignment = 501,
    UnqualifiedReference = 505, // Invalid or unqualified reference
    ClassNotDefined = 506,
    ElementNotFound = 32811,
    Internal = 51,
    Unspecified = -2147467259, // what a host member's unexpected failure becomes

    // compilation errors, reported before anything runs
    SyntaxError = 1002,
    ExpectedLParen = 1005,
    ExpectedRParen = 1006,
    ExpectedIdentifier = 1010,
    ExpectedEquals = 1011,
    ExpectedIf = 1012,
    ExpectedTo = 1013,
    ExpectedEnd = 1014,
    ExpectedFunction = 1015,
    ExpectedSub = 1016,
    ExpectedThen = 1017,
    ExpectedWend = 1018,
    ExpectedLoop = 1019,
    ExpectedNext = 1020,
    ExpectedCase = 1021,
    ExpectedSelect = 1022,
    ExpectedExpression = 1023,
    ExpectedStatement = 1024,
    ExpectedEndOfStatement = 1025,
    ExpectedInteger = 1026,
    ExpectedWhileUntil = 1027,
    ExpectedWhileUntilEnd = 1028,
    ExpectedWith = 1029,
    IdentifierTooLong = 1030,
    InvalidNumber = 1031,
    InvalidCharacter = 1032,
    UnterminatedString = 1033,
    InvalidMe = 1037,          // Invalid use of 'Me' keyword
    InvalidExit = 1039,
    InvalidForVariable = 1040,
    NameRedefined = 1041,
    ExpectedLiteral = 1045,
    ExpectedIn = 1046,
    ExpectedClass = 1047,
    ExpectedLetSetGet = 1049,  // Expected Let or Set or Get in property declaration
    ExpectedProperty = 1050,
    MultipleDefaults = 1052,
    InitializeArguments = 1053, // Class initialize or terminate do not have arguments
    PropertyNeedsArgument = 1054,
    DefaultPlacement = 1056,
    DefaultOnlyOnGet = 1058,
};
}

// VBScript's description of an error number; "Unknown runtime error" for a
// number it has no text for.
QString ScriptErrorText(int Number);

// A run-time or compilation error. Host objects throw it from their members
// to raise a script error (On Error Resume Next can then catch it).
class TScriptError
{
public:
    // An empty description takes VBScript's text for the number.
    explicit TScriptError(int Number, QString Description = {}, QString Name = {});

    int Number = 0;
    // VBScript's text, as Err.Description shows it.
    QString Description;
    // The identifier the error is about ("Variable is undefined: 'x'"), if any.
    QString Name;
    // Err.Source; empty for the interpreter's own errors.
    QString Source;
    // 1-based; 0 until the interpreter knows where it happened.
    int Line = 0;
    int Column = 0;
    bool Compile = false;

    // The description with the name appended, as a report shows it.
    QString FullDescription() const;
};

// How a run ended.
enum class TScriptStatus { Completed, Failed, Interrupted };

// Thrown through the interpreter when the host asks a script to stop or its
// statement budget is spent: no error handler in the script can catch it.
struct TScriptStop
{
};
