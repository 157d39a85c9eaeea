#pragma once

#include <QPoint>
#include <QString>
#include <functional>

class QWidget;

// The program's two kinds of message box: information with one OK button,
// and a Yes/No confirmation where only Yes proceeds. Both are modal; tests
// install their own answerers so that no box ever blocks them.

// The button a confirmation box starts on (the one Enter presses).
enum class DefaultAnswer { No, Yes };

void ShowInformation(QWidget *parent, const QString &text);
bool AskConfirmation(QWidget *parent, const QString &text, DefaultAnswer defaultAnswer = DefaultAnswer::No);
// A Yes/No confirmation in the style of an information box, its top-left
// corner at topLeft (screen coordinates) instead of centred on its parent:
// for a question that must leave what it asks about in view.
bool AskConfirmationAt(QWidget *parent, const QString &text, QPoint topLeft);

using InformationAnswerer = std::function<void(QWidget *parent, const QString &text)>;
using ConfirmationAnswerer = std::function<bool(QWidget *parent, const QString &text)>;

// Replace the real boxes (an empty function puts them back).
void SetInformationAnswerer(InformationAnswerer answerer);
void SetConfirmationAnswerer(ConfirmationAnswerer answerer);
