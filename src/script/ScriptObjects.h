#pragma once

// The objects CreateObject makes: Scripting.Dictionary, and
// Scripting.FileSystemObject for text files when the host gave the
// script's folder (TScriptEngine::SetScriptFolder).

#include "script/ScriptObject.h"

#include <memory>

class TScriptRuntime;

// The object of ProgId (any case), or null when there is none by that name.
std::shared_ptr<TScriptObject> ScriptCreateObject(TScriptRuntime &Runtime, const QString &ProgId);

// A FileSystemObject whose relative paths start at Folder (ScriptFileSystem.cpp).
std::shared_ptr<TScriptObject> ScriptMakeFileSystem(const QString &Folder);
