#pragma once

#include <QStringList>

// A terminal session as a user types it, in HOME: each line run by sh, then its standard
// output, its standard error marked "E " and its exit status. A line "kestrel-sim ... &" starts
// a simulator that serves the lines after it until the session ends or another one starts; its
// own lines follow then, marked "sim| ".
QStringList Transcript(const QStringList& script);
