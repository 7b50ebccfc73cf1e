#pragma once

#include <QStringList>

// A terminal session as a user types it, in HOME: each line run by sh, then its standard
// output, its standard error marked "E " and its exit status. "kestrel-sim ... &" starts
// simulator [N] (1, 2, ...), which serves the lines after it until "kill %N", its own end
// ("wait %N"; %% is the last one) or the end of the session; its lines follow then, marked "[N] ",
// unless it was given ">/dev/null".
QStringList Transcript(const QStringList& script);

// One line of it: what it printed, "E " before each error line, and "exit N".
QStringList Terminal(const QString& line);
