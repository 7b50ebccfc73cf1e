#pragma once

#include <QStringList>

// A terminal session as a user types it, in HOME: each line run by sh, then its standard
// output, its standard error marked "E " and its exit status. "kestrel-sim ... &" starts
// simulator [N] (1, 2, ...), which serves the lines after it until "kill %N" or the end of the
// session; its own lines follow then, marked "[N] ".
QStringList Transcript(const QStringList& script);
