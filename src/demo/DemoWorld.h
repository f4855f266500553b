// The demo world: a few rooms to walk, talk and flood in, so a new user sees the client work
// without an account anywhere. DemoWorld keeps who is online and where; DemoSession is one
// player's connection: telnet input, login, commands and the text they answer with. Neither
// touches a socket: a session writes through its Link, and DemoServer does the I/O.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "demo/DemoRooms.h"
#include "demo/TelnetLineReader.h"

namespace zel::demo {

class DemoSession;

// The players online and their rooms. Thread-safe: each session runs on its own thread.
class DemoWorld {
public:
    // Adds a player; false when the name is taken (names compare without regard to case).
    bool Join(DemoSession& session, const std::string& name, size_t room);
    void Leave(DemoSession& session);
    void Move(DemoSession& session, size_t room);
    // Every name online in order of joining; or those in room other than `except`.
    std::vector<std::string> Names() const;
    std::vector<std::string> NamesIn(size_t room, const DemoSession& except) const;
    // Posts text to every player in room other than `except`.
    void TellRoom(size_t room, const DemoSession& except, const std::string& text) const;

private:
    struct Player {
        DemoSession* session;
        std::string name;
        size_t room;
    };
    // Guards players_. Taken before a session's post lock (TellRoom), never after it.
    mutable std::mutex mutex_;
    std::vector<Player> players_;
};

class DemoSession {
public:
    // The connection under a session, implemented by the server.
    struct Link {
        // On the session's thread; may block. False when the client is gone.
        virtual bool Send(std::string_view bytes) = 0;
        // From any thread, must not block: posted text waits for DeliverPosted.
        virtual void Wake() = 0;

    protected:
        ~Link() = default;
    };

    static constexpr uint32_t kDefaultFloodKilobytes = 256;
    static constexpr uint32_t kMaximumFloodKilobytes = 65536;
    // Posted text beyond this, while the player does not read, is dropped.
    static constexpr size_t kMaximumPosted = 65536;

    DemoSession(DemoWorld& world, Link& link);
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;
    ~DemoSession();  // leaves the world

    // The rest run on the session's thread, but Post.
    void Start();                       // greeting and the name question
    void Feed(std::string_view bytes);  // client bytes: runs each completed line
    void DeliverPosted();               // shows what others posted, then the prompt
    void End();                         // leaves the world; nothing more is sent
    bool Ended() const { return state_ == State::Ended; }
    // Any thread: text from another player, shown on its own line.
    void Post(const std::string& text);

private:
    enum class State { Name, Password, Playing, Ended };

    void RunLine(const std::string& line);
    void ReadName(const std::string& line);
    void ReadPassword(const std::string& line);
    void RunCommand(const std::string& line);
    void Go(Direction d);
    void Look();
    void Say(std::string_view text);
    void Who();
    void Flood(std::string_view args);
    void Quit();

    void Negotiate(const TelnetLineReader::Negotiation& negotiation);
    // The world's own text (UTF-8 in the source) as this client reads it.
    std::string Localized(std::string_view text) const;
    void Print(std::string_view colour, std::string_view text);  // a line in a colour
    void Ask(std::string_view question);  // no line end; IAC GA marks it as a prompt
    void Prompt();
    void Flush();  // sends out_; a failed send ends the session

    DemoWorld& world_;
    Link& link_;
    TelnetLineReader reader_;
    State state_ = State::Name;
    bool joined_ = false;
    std::string name_;
    size_t room_ = 0;
    bool utf8_ = false;    // the client accepted UTF-8 through CHARSET
    uint32_t floods_ = 0;  // seeds each flood differently
    std::string out_;

    std::mutex postMutex_;  // guards posted_ and postedBytes_
    std::vector<std::string> posted_;
    size_t postedBytes_ = 0;
};

}  // namespace zel::demo
