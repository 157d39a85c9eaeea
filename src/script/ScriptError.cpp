#include "script/ScriptError.h"

#include <utility>

QString ScriptErrorText(int Number)
{
    switch (Number) {
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 10: return QStringLiteral("This array is fixed or temporarily locked");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 14: return QStringLiteral("Out of string space");
    case 28: return QStringLiteral("Out of stack space");
    case 35: return QStringLiteral("Sub or Function not defined");
    case 53: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 58: return QStringLiteral("File already exists");
    case 62: return QStringLiteral("Input past end of file");
    case 70: return QStringLiteral("Permission denied");
    case 76: return QStringLiteral("Path not found");
    case 51: return QStringLiteral("Internal error");
    case 91: return QStringLiteral("Object variable not set");
    case 92: return QStringLiteral("For loop not initialized");
    case 94: return QStringLiteral("Invalid use of Null");
    case 424: return QStringLiteral("Object required");
    case 429: return QStringLiteral("ActiveX component can't create object");
    case 438: return QStringLiteral("Object doesn't support this property or method");
    case 450: return QStringLiteral("Wrong number of arguments or invalid property assignment");
    case 451: return QStringLiteral("Object not a collection");
    case 457: return QStringLiteral("This key is already associated with an element of this collection");
    case 500: return QStringLiteral("Variable is undefined");
    case 501: return QStringLiteral("Illegal assignment");
    case 505: return QStringLiteral("Invalid or unqualified reference");
    case 506: return QStringLiteral("Class not defined");
    case 32811: return QStringLiteral("Element not found");
    case -2147467259: return QStringLiteral("Unspecified error");
    case 1001: return QStringLiteral("Out of memory");
    case 1002: return QStringLiteral("Syntax error");
    case 1005: return QStringLiteral("Expected '('");
    case 1006: return QStringLiteral("Expected ')'");
    case 1010: return QStringLiteral("Expected identifier");
    case 1011: return QStringLiteral("Expected '='");
    case 1012: return QStringLiteral("Expected 'If'");
    case 1013: return QStringLiteral("Expected 'To'");
    case 1014: return QStringLiteral("Expected 'End'");
    case 1015: return QStringLiteral("Expected 'Function'");
    case 1016: return QStringLiteral("Expected 'Sub'");
    case 1017: return QStringLiteral("Expected 'Then'");
    case 1018: return QStringLiteral("Expected 'Wend'");
    case 1019: return QStringLiteral("Expected 'Loop'");
    case 1020: return QStringLiteral("Expected 'Next'");
    case 1021: return QStringLiteral("Expected 'Case'");
    case 1022: return QStringLiteral("Expected 'Select'");
    case 1023: return QStringLiteral("Expected expression");
    case 1024: return QStringLiteral("Expected statement");
    case 1025: return QStringLiteral("Expected end of statement");
    case 1026: return QStringLiteral("Expected integer constant");
    case 1027: return QStringLiteral("Expected 'While' or 'Until'");
    case 1028: return QStringLiteral("Expected 'While', 'Until' or end of statement");
    case 1029: return QStringLiteral("Expected 'With'");
    case 1030: return QStringLiteral("Identifier too long");
    case 1031: return QStringLiteral("Invalid number");
    case 1032: return QStringLiteral("Invalid character");
    case 1033: return QStringLiteral("Unterminated string constant");
    case 1037: return QStringLiteral("Invalid use of 'Me' keyword");
    case 1039: return QStringLiteral("Invalid 'exit' statement");
    case 1040: return QStringLiteral("Invalid 'for' loop control variable");
    case 1041: return QStringLiteral("Name redefined");
    case 1045: return QStringLiteral("Expected literal constant");
    case 1046: return QStringLiteral("Expected 'In'");
    case 1047: return QStringLiteral("Expected 'Class'");
    case 1049: return QStringLiteral("Expected Let or Set or Get in property declaration");
    case 1050: return QStringLiteral("Expected 'Property'");
    case 1052: return QStringLiteral("Cannot have multiple default property/method in a Class");
    case 1053: return QStringLiteral("Class initialize or terminate do not have arguments");
    case 1054: return QStringLiteral("Property set or let must have at least one argument");
    case 1056: return QStringLiteral("'Default' can be specified only on 'Property' or 'Function' or 'Sub'");
    case 1058: return QStringLiteral("'Default' specification can only be on Property Get");
    default: return QStringLiteral("Unknown runtime error");
    }
}

TScriptError::TScriptError(int Number_, QString Description_, QString Name_)
    : Number(Number_), Description(std::move(Description_)), Name(std::move(Name_))
{
    if (Description.isEmpty())
        Description = ScriptErrorText(Number);
}

QString TScriptError::FullDescription() const
{
    if (Name.isEmpty())
        return Description;
    return Description + QStringLiteral(": '") + Name + QLatin1Char('\'');
}
