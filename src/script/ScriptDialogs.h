#pragma once

// VBScript's MsgBox and InputBox as the window shows them: a message box with
// the buttons, icon and default button that the script's Buttons value asks
// for (vbYesNo + vbQuestion + vbDefaultButton2 ...), answering with the
// script's button numbers (vbOK 1 ... vbNo 7), and a one-line input box.
// Tests install answerers so that no box ever blocks them.

#include <QString>

#include <functional>
#include <optional>

class QWidget;

int ShowScriptMsgBox(QWidget *parent, const QString &prompt, int buttons, const QString &title);
std::optional<QString> ShowScriptInputBox(QWidget *parent, const QString &prompt, const QString &title,
                                          const QString &defaultText);

using ScriptMsgBoxAnswerer = std::function<int(const QString &prompt, int buttons, const QString &title)>;
using ScriptInputBoxAnswerer =
    std::function<std::optional<QString>(const QString &prompt, const QString &title, const QString &defaultText)>;

// Replace the real boxes (an empty function puts them back).
void SetScriptMsgBoxAnswerer(ScriptMsgBoxAnswerer answerer);
void SetScriptInputBoxAnswerer(ScriptInputBoxAnswerer answerer);
