#include "net/TelnetParser.h"

#include <cstring>

#include "net/Telnet.h"

namespace zel {

using namespace telnet;

void TelnetParser::Feed(std::string_view bytes)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        switch (state_) {
            case State::Data: {
                const auto* iac = static_cast<const char*>(std::memchr(p, kIac, size_t(end - p)));
                const char* stop = iac ? iac : end;
                if (stop > p) sink_.Text(std::string_view(p, size_t(stop - p)));
                if (!iac) return;
                p = iac + 1;
                state_ = State::Iac;
                break;
            }
            case State::Iac: {
                const auto byte = uint8_t(*p);
                if (byte == kIac) {
                    state_ = State::Data;
                    sink_.Text(std::string_view(p, 1));  // the second IAC is the data byte
                } else if (byte >= kWill) {
                    verb_ = byte;
                    state_ = State::Option;
                } else if (byte == kSb) {
                    state_ = State::SubOption;
                } else {
                    state_ = State::Data;
                    sink_.Command(byte);
                }
                ++p;
                break;
            }
            case State::Option:
                state_ = State::Data;
                sink_.Negotiate(verb_, uint8_t(*p++));
                break;
            case State::SubOption:
                option_ = uint8_t(*p++);
                payload_.clear();
                state_ = State::Sub;
                break;
            case State::Sub: {
                const auto* iac = static_cast<const char*>(std::memchr(p, kIac, size_t(end - p)));
                const char* stop = iac ? iac : end;
                const size_t count = size_t(stop - p);
                const size_t room = kMaxPayload - payload_.size();
                if (!AddPayload(p, count)) {
                    p += room;  // the bytes up to the bound belong to the abandoned payload
                    break;
                }
                p = stop;
                if (iac) {
                    ++p;
                    state_ = State::SubIac;
                }
                break;
            }
            case State::SubIac: {
                const auto byte = uint8_t(*p);
                if (byte == kIac) {
                    ++p;
                    if (AddPayload(p - 1, 1)) state_ = State::Sub;
                    break;
                }
                // IAC SE ends it; after any other command byte the payload ends as well and
                // the byte is read again as a command.
                state_ = byte == kSe ? State::Data : State::Iac;
                if (byte == kSe) ++p;
                sink_.Subnegotiation(option_, payload_);
                payload_.clear();
                break;
            }
        }
    }
}

bool TelnetParser::AddPayload(const char* bytes, size_t count)
{
    if (payload_.size() + count >= kMaxPayload) {
        payload_.clear();
        state_ = State::Data;
        return false;
    }
    payload_.append(bytes, count);
    return true;
}

void TelnetParser::Reset()
{
    state_ = State::Data;
    payload_.clear();
}

}  // namespace zel
