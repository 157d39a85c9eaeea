#pragma once

#include <QString>

#include <functional>

// How the data classes talk to the operator. Information is a box with one OK
// button (the result is ignored); Question is a Yes/No box and returns true
// only for Yes. The program passes message boxes, tests pass a recorder.
enum class TPromptKind { Information, Question };
using TUserPrompt = std::function<bool(TPromptKind Kind, const QString &Text)>;
