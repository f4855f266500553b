// TriggerEngine: the action table and the matching of received text against it. Text goes
// in; what the matches do (print the text, a recoloured match or a replacement; run an
// action's command) comes out through Effects, in order. It owns no lock: its owner holds
// one lock (OutputLock in the client) around every call and around changes of the table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lang/SpecialChars.h"
#include "triggers/ActionIndex.h"
#include "triggers/ActionTable.h"

namespace zel {

class TriggerEngine {
public:
    class Effects {
    public:
        // Received text on its way to the output, in an action's format or (null) as it came.
        virtual void PrintMatched(std::string_view text, const TextFormat* format) = 0;
        // An action matched: `command` is its command with the groups expanded (empty when
        // it has none). Text that the command feeds back is neither matched nor printed.
        virtual void Fired(const Action& action, std::string_view command) = 0;

    protected:
        ~Effects() = default;
    };

    ActionTable& Actions() { return actions_; }
    const ActionTable& Actions() const { return actions_; }
    // After any change of the action table.
    void ActionsChanged() { ++version_; }

    // Matches `text`; prints through `effects` when `print`. Does nothing while a command
    // that an action fired is running (text fed back from it).
    void Process(std::string_view text, bool print, const SpecialChars& chars, Effects& effects);
    // True while a command that an action fired is running.
    bool Firing() const { return depth_ > 0; }

private:
    void ProcessPiece(std::string_view text, bool print, int nesting,
                      const std::vector<uint8_t>* outerPresent);

    ActionTable actions_;
    uint64_t version_ = 0;
    ActionIndex index_;
    int depth_ = 0;     // above 0 while an action's command runs
    std::string text_;  // the piece being matched, terminated
    // Valid during Process.
    const SpecialChars* chars_ = nullptr;
    Effects* effects_ = nullptr;
};

}  // namespace zel
