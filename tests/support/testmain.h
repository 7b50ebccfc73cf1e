#pragma once

#include <QApplication>
#include <QByteArray>
#include <QTest>

#include "testenvironment.h"

// Bytes from their hexadecimal text: "0F0002".
inline QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

// Like QTEST_MAIN, but with a private HOME set before Qt reads any path.
#define KESTREL_TEST_MAIN(TestClass)                       \
    int main(int argc, char** argv) {                      \
        TestEnvironment environment;                       \
        QApplication app(argc, argv);                      \
        app.setApplicationName(QStringLiteral("Kestrel")); \
        TestClass test(environment);                       \
        return QTest::qExec(&test, argc, argv);            \
    }
