#pragma once

#include "cat/TcvrTypes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <mutex>

// One radio model of Hamlib's.
struct THamlibModel
{
    int Number = 0;
    QString Maker;
    QString Model;
};

// Every radio Hamlib can drive (its backends loaded at the first call),
// sorted by maker and model; NET rigctl, the way to a rigctld, is not among
// them.
const QList<THamlibModel> &HamlibModels();
// The model a command-line text names: its number, or its model name with
// or without the maker ("IC-7300", "Icom IC-7300"), in any case; 0 when no
// model or more than one fits.
int FindHamlibModel(const QString &text);
// What a model can do as its own capabilities say, before any radio is
// opened (NET rigctl learns the far radio's only when open). The first
// built-in model when Hamlib has no such model.
TTcvrType HamlibModelType(int model);

// The line speeds offered for a radio through Hamlib.
QStringList HamlibSpeeds();

// Hamlib quiet and safe to call (once for the program, on the thread that
// first uses it: the window's). Every entry into Hamlib comes after it.
void PrepareHamlib();

// librig's table of models is not safe for two threads at once: its
// initialisations and clean-ups run under this lock.
std::mutex &HamlibLibraryMutex();
