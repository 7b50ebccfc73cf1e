#include "hexinput.h"

#include "raisederror.h"

HexInput::HexInput(const QString& path) : m_reader(path) {
    if (!m_reader.Open()) throw RaisedError();
}

bool HexInput::ReadLine(QByteArray& line) {
    if (m_reader.ReadLine(line)) return true;
    if (m_reader.HasError()) throw RaisedError();
    return false;
}
