// prompt set|clear|auto: the prompt line below the output. Prints nothing.
#include <mutex>
#include <string>

#include "engine/ClientWindow.h"
#include "lang/WordReader.h"
#include "net/commands/ConnectionCommands.h"

namespace zel {

int32_t CmdPrompt(ClientWindow& client, uint32_t, std::string_view args)
{
    WordReader reader(client.Chars(), args);
    std::string word;
    reader.NextWord(word);
    bool layout = false;
    {
        std::scoped_lock lock(client.PromptLock());
        auto& prompt = client.PromptLine();
        if (EqualsIgnoringCase(word, "set")) {
            layout = !prompt.shown;
            prompt.shown = true;
            // The text as typed after the word, its leading white space included.
            prompt.text.assign(reader.Rest().substr(0, kTextCapacity));
        } else if (EqualsIgnoringCase(word, "clear")) {
            layout = prompt.shown;
            prompt.shown = false;
            prompt.automatic = false;
        } else if (EqualsIgnoringCase(word, "auto")) {
            layout = true;
            prompt.shown = true;
            prompt.automatic = true;
        } else {
            return 0;
        }
        client.GetHost().SetPromptLine(prompt.text, prompt.shown);
    }
    if (layout) client.GetHost().LayoutChildren();
    return 0;
}

}  // namespace zel
