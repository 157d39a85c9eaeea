#pragma once

// Stands in for the operator at the program's message boxes (app/MessageBoxes.h)
// so that no modal box ever blocks a test.

#include "base/MessageBoxes.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace testenv {

// The kind of box a recorded text was shown in.
enum class PromptKind { Information, Question };

// While alive, records each text and the window the last box belonged to, and
// answers questions from a queue (Yes when empty). One at a time.
class PromptRecorder
{
public:
    QList<QPair<PromptKind, QString>> shown;
    QList<bool> answers;
    QPointer<QWidget> lastParent;

    PromptRecorder()
    {
        SetInformationAnswerer([this](QWidget *parent, const QString &text) {
            lastParent = parent;
            shown.append({PromptKind::Information, text});
        });
        SetConfirmationAnswerer([this](QWidget *parent, const QString &text) {
            lastParent = parent;
            shown.append({PromptKind::Question, text});
            return answers.isEmpty() ? true : answers.takeFirst();
        });
    }
    ~PromptRecorder()
    {
        SetInformationAnswerer({});
        SetConfirmationAnswerer({});
    }
    PromptRecorder(const PromptRecorder &) = delete;
    PromptRecorder &operator=(const PromptRecorder &) = delete;

    QStringList texts() const
    {
        QStringList list;
        for (const auto &entry : shown)
            list.append(entry.second);
        return list;
    }
};

} // namespace testenv
