#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Reads a whole field as a hexadecimal number: one to eight digits of either case.
// Anything else, the empty field included, raises RaisedError.
quint32 HexField(QByteArrayView field);

// length characters of text from the 1-based position, clipped to the text.
QByteArrayView Mid(QByteArrayView text, qsizetype position, qsizetype length);
