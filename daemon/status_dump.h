#pragma once
// Signal flags and the work they request, run from a permanently active
// deferred call so that signal handlers only set flags.

extern volatile bool doDumpStatus;
extern volatile bool updateResources;

void InstallSignalHandlers();
void CheckSignals();
void CheckDumpStatus();
void CheckUpdateResources();
