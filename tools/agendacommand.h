// agendacommand.h - `zupim agenda`: what the calendar shows for a day, week, month or year,
// loaded by the calendar's own document and loading thread and printed as its list view shows it.
#pragma once

#include <cstdio>

// Runs the command with the arguments after "agenda"; returns the exit status (0, or 2 for bad
// arguments, 1 when the load could not finish). Needs a QCoreApplication.
int runAgendaCommand(char** args, int count, FILE* out, FILE* err);
