#pragma once

#include <functional>

class QDialog;

// Runs a dialog modally and returns its result; tests replace it.
using TDialogRunner = std::function<int(QDialog &Dialog)>;

// The real modal run.
int ExecDialog(QDialog &Dialog);
