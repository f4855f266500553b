// WindowDialogs: the questions the desktop host asks: the quit confirmation, the save
// dialog of a close with unsaved settings, and the file-open dialog. Behind an interface so
// that tests answer them without a modal loop.
#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Host.h"

namespace zel {

class WindowDialogs {
public:
    virtual ~WindowDialogs() = default;
    // "Quit?" with Yes and No; true for Yes.
    virtual bool AskQuit(QWidget* parent) = 0;
    // "Save settings to:" with the name, and "Save and quit", "Don't save", "Don't quit".
    virtual QuitChoice AskSaveSettings(QWidget* parent, std::string& fileName) = 0;
    // A file to open; none when cancelled. `filter` as Host::AskOpenFileName has it.
    virtual std::optional<std::string> AskOpenFileName(QWidget* parent, std::string_view filter,
                                                       std::string_view defaultExtension) = 0;
};

// The real dialogs.
class QtDialogs : public WindowDialogs {
public:
    bool AskQuit(QWidget* parent) override;
    QuitChoice AskSaveSettings(QWidget* parent, std::string& fileName) override;
    std::optional<std::string> AskOpenFileName(QWidget* parent, std::string_view filter,
                                               std::string_view defaultExtension) override;
};

// A filter list of description and pattern pairs, each part ended by '|' ("Settings
// (*.zel)|*.zel|All files (*.*)|*.*||"), as Qt name filters ("Settings (*.zel);;All files
// (*)").
QString NameFilters(std::string_view filter);

}  // namespace zel
