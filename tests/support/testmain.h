#pragma once

#include <QApplication>
#include <QTest>

#include "testenvironment.h"

// Like QTEST_MAIN, but with a private HOME set before Qt reads any path.
#define KESTREL_TEST_MAIN(TestClass)                       \
    int main(int argc, char** argv) {                      \
        TestEnvironment environment;                       \
        QApplication app(argc, argv);                      \
        app.setApplicationName(QStringLiteral("Kestrel")); \
        TestClass test(environment);                       \
        return QTest::qExec(&test, argc, argv);            \
    }
