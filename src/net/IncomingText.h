// IncomingText: turns each block read from the server into text for the output. Bytes are
// taken in order: an IAC goes to Telnet, control characters are dropped or expanded, an
// escape sequence is completed before it is stored, and the collected text is handed on
// in as few pieces as possible (to the actions, or straight to the output while they are
// switched off). With automatic prompting, the unended last line of a block is kept out of
// the output and shown in the prompt line until the next block or a sent line.
// Runs on the network thread (or whatever thread replays a stream).
#pragma once

#include <cstddef>
#include <string_view>

#include "net/ReceiveChannel.h"
#include "net/Telnet.h"

namespace zel {

class ClientWindow;

class IncomingText : private Telnet::Text {
public:
    // Tabs become spaces only below this line position.
    static constexpr size_t kTabLimit = 4088;
    // Every byte of a block stores at most two (a line feed), a tab eight but only below
    // kTabLimit: no text of a block is ever dropped for want of room.
    static constexpr size_t kLineCapacity = kTabLimit + 8 + 2 * ReceiveBlock::kCapacity;
    // Bytes read to complete an escape sequence stop short of the block's capacity, which
    // keeps room for a telnet command after them.
    static constexpr size_t kEscapeLimit = ReceiveBlock::kCapacity - 16;

    IncomingText(ClientWindow& client, ReceiveChannel& channel);

    // Processes one block; the channel completes commands and sequences at its end.
    void ProcessBlock(ReceiveBlock& block);

private:
    void Store(const char* bytes, size_t count);
    void LineFeed();
    void CompleteEscape(ReceiveBlock& block, size_t i);
    void EndOfBlock(const ReceiveBlock& block);
    // Prints the pending prompt (when `withPrompt`), then hands on the text since the
    // flush point and moves the flush point to the end.
    void HandOn(bool withPrompt);
    void HandOnText(std::string_view text);
    void WriteLog(const ReceiveBlock& block, size_t end);

    void StoreDataByte(char byte) override { Store(&byte, 1); }
    // The pending prompt goes first here too, or a block's text before a command would be
    // printed ahead of the line that the previous block left open.
    void HandOnBeforeCommand() override { HandOn(true); }

    ClientWindow& client_;
    ReceiveChannel& channel_;
    Telnet telnet_;
    bool compact_ = false;
    int32_t scrollRate_ = 0;
    size_t position_ = 0;
    size_t flush_ = 0;
    size_t logged_ = 0;
    char line_[kLineCapacity];
};

}  // namespace zel
