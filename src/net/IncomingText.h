// IncomingText: turns the data bytes of the server's stream (telnet taken out) into text for
// the actions and the output. It owns no socket and no lock; its state carries across
// calls, so every split of the stream into reads gives the same output and the actions see
// the same lines. Runs on the network thread (or whatever thread replays a stream).
//
// Bytes are first decoded from the server's character set into the engine's text form
// (base/TextCodec.h); the rules below apply to the result. Under the default Windows-1252
// nothing is decoded.
//
// Byte rules: control bytes are dropped, backspace is kept, a tab becomes eight spaces
// while the line's column is below kTabLimit, a line feed counts a line and is stored as
// CR LF (nothing when compact). An escape sequence ends at the first letter after the
// escape: the bytes from the escape on are held, unread, until that letter has arrived, so
// the output always receives whole sequences; one that reaches kEscapeLimit bytes without a
// letter is read as it is.
//
// Text is handed on in whole lines, as few pieces as possible: at the end of each read,
// before a telnet command, every `scrollrate` lines. The unended last line (the tail) is
// held, neither printed nor matched, until the next read continues it, a GA or EOR ends it
// as a prompt, or the caller finds nothing more within the line wait (LineWaitPassed).
// Then it is handed on, or with automatic prompting kept as the pending prompt. Any other
// telnet command hands on the tail too, so that what actions send in answer to text goes
// out before the reply to the command that followed that text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/TextCodec.h"
#include "net/ConnectionClient.h"
#include "net/ReceiveChannel.h"

namespace zel {

class IncomingText {
public:
    // Tabs become spaces only below this column.
    static constexpr size_t kTabLimit = 4088;
    // The longest escape sequence waited for, escape and letter included.
    static constexpr size_t kEscapeLimit = 4096;
    // An unended line is never held longer than this: beyond it, it is handed on in pieces.
    static constexpr size_t kLineLimit = 16384;
    // Room for the text of a large read; when it is full, the whole lines in it are handed
    // on early. It must hold an unended line at its bound and an open sequence after it,
    // whose bytes store at most eight bytes each (a tab).
    static constexpr size_t kLineCapacity = 65536 + kLineLimit;
    static_assert(kLineCapacity > kLineLimit + 8 * kEscapeLimit + 16);

    IncomingText(ConnectionClient& client, ReceiveChannel& channel);

    // A read begins: the options are taken for it.
    void BeginRead();
    // Data bytes of the stream, in order.
    void Text(std::string_view bytes);
    // A telnet command other than GA or EOR: everything before it is handed on.
    void Command();
    // GA or EOR: the lines before it are handed on and the tail ends as a prompt.
    void PromptMark();
    // The read ended: its whole lines are handed on, the tail is held.
    void EndOfRead();
    // Whether a tail is held, for the caller to wait for more at most the line wait.
    bool HoldsLine() const { return position_ > tailStart_; }
    // Nothing more came within the line wait: the tail ends as a prompt.
    void LineWaitPassed();
    // The stream ended: an unfinished escape sequence is dropped (what follows it on the
    // output is not the server's), the tail ends as a prompt.
    void EndOfStream();

private:
    // Decoded text, in order.
    void Apply(std::string_view bytes);
    // Applies the byte rules from the start of `bytes` (whose first byte is at stream offset
    // offset_); stops at an escape whose sequence is neither complete within `bytes` nor past
    // the bound, and returns the count applied.
    size_t Consume(std::string_view bytes);
    // Whether the escape at `i` may be read now; finds its letter, scanning each byte once.
    bool SequenceEnds(std::string_view bytes, uint64_t base, size_t i);
    // Adds `bytes` to a held sequence; returns the part of them left to consume.
    std::string_view ContinueHeld(std::string_view bytes);
    std::string_view Held() const { return std::string_view(held_).substr(heldStart_); }

    void Store(const char* bytes, size_t count);
    void LineFeed();
    // Hands on the text from the flush point to `end`, the pending prompt first.
    void HandOn(size_t end);
    void HandOnText(std::string_view text);
    // The tail (all that is left, whole lines having been handed on) ends as a prompt.
    void ReleaseTail();
    // The buffer is full: whole lines go, the tail moves to its start.
    void MakeRoom();
    // Once all is handed on, the buffer starts again at its beginning.
    void Rewind();

    ConnectionClient& client_;
    ReceiveChannel& channel_;
    std::unique_ptr<StreamDecoder> decoder_ = std::make_unique<StreamDecoder>();
    std::string decoded_;
    bool compact_ = false;
    int32_t scrollRate_ = 0;

    std::unique_ptr<char[]> line_;
    size_t position_ = 0;   // end of the stored text
    size_t flush_ = 0;      // start of the text not yet handed on
    size_t tailStart_ = 0;  // start of the unended line's text not yet handed on
    size_t column_ = 0;     // bytes stored since the last line feed
    // Where the escape of a sequence whose letter is not yet stored was stored: no piece
    // handed on ends inside it, so nothing printed after a piece can continue it.
    static constexpr size_t kNone = size_t(-1);
    size_t open_ = kNone;

    // Bytes from an escape whose sequence is unfinished, from heldStart_ on.
    std::string held_;
    size_t heldStart_ = 0;
    // Offsets in the stream of data bytes: of the next byte to consume; of the letter that
    // ends the latest sequence; the end of the bytes after the latest escape known to hold
    // no letter.
    uint64_t offset_ = 0;
    uint64_t letterAt_ = 0;
    uint64_t noLetterUntil_ = 0;
};

}  // namespace zel
