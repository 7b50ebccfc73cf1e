#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

// Answers the next modal dialog from inside its own event loop, as a user would.
struct ModalAnswer {
    explicit ModalAnswer(const std::function<void(QWidget* modal)>& answer) {
        QObject::connect(&timer, &QTimer::timeout, [this, answer] {
            if (QWidget* modal = QApplication::activeModalWidget()) answer(modal), timer.stop();
        });
        timer.start(5);
    }
    QTimer timer;
};
