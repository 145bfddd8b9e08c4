// The editor's document commands, as the main dialog's menu runs them, and
// the document part of the editor's start.
#pragma once

#include "editor/ColorEditCtrl.h"
#include "platform/Control.h"
#include "platform/FileDialog.h"

#include <string>

// The sample script the editor shows when there is no "sample.ini" to load.
std::string BuiltInSample();

// Loads path (empty: "sample.ini" in the current folder), or puts in the
// built-in sample under that name, unsaved, as a start for a new script.
// mainWnd is the window whose caption shows the file name.
void OpenStartScript(CColorEditCtrl& editor, IControl& mainWnd, const std::string& path = {});

// Save: to the current file name, without asking.
void SaveScript(CColorEditCtrl& editor);
// Save As: asks for a name; one without ".in" in it gets ".ini" appended.
void SaveScriptAs(CColorEditCtrl& editor, IFileDialog& fileDialog);
// Load: closes the document (which may ask to save it), then asks for the
// file to load.
void LoadScript(CColorEditCtrl& editor, IFileDialog& fileDialog);
// Add File: asks for a file and puts its full path on the line below the
// first "[Files]", or appends a [Files] section that holds it.
void AddFileToScript(CColorEditCtrl& editor, IFileDialog& fileDialog);
