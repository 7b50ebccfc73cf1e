#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// What a command did to its surroundings, in order: panel texts, progress, enabling, pointer,
// waits, message boxes and dialogs, one event each. A test compares the whole account at once.
struct Trace {
    void Add(const QString& event) {
        events << event;
        if (onEvent) onEvent(event);
    }

    QStringList events;
    std::function<void(const QString& event)> onEvent;  // runs as each event is added
};
