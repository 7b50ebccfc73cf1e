#pragma once

#include <QString>
#include <optional>

enum class MsgIcon { None, Critical, Exclamation };
enum class MsgButtons { Ok, OkCancel };
enum class MsgResult { Ok, Cancel };

// The title of the messages the program gives in its own name, whatever its file is called.
inline const QString kProgramTitle = QStringLiteral("Kestrel");

// Modal questions to the user: message boxes and the file-open dialog.
class Prompts {
public:
    virtual ~Prompts() = default;

    virtual MsgResult MsgBox(const QString& text, const QString& title, MsgIcon icon,
                             MsgButtons buttons = MsgButtons::Ok) = 0;

    // filter uses Qt's form ("Hex Files (*.hex);;All Files (*.*)"), the first entry selected.
    // Returns no value when the user cancels.
    virtual std::optional<QString> OpenFile(const QString& filter,
                                            const QString& startLocation) = 0;
};
