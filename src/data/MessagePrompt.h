#pragma once

#include "data/UserPrompt.h"

class QWidget;

// The prompt the program uses: an information box with one OK button, or a
// confirmation box with Yes and No, over Parent (or the active window).
TUserPrompt MessageBoxPrompt(QWidget *Parent = nullptr);
