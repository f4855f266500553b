// TelnetLineReader: see TelnetLineReader.h.
#include "demo/TelnetLineReader.h"

namespace zel::demo {
namespace {

constexpr uint8_t kIac = 255;
constexpr uint8_t kSb = 250;
constexpr uint8_t kSe = 240;
constexpr uint8_t kWill = 251;  // WILL, WONT, DO and DONT (251 to 254) take an option byte

}  // namespace

void TelnetLineReader::Feed(std::string_view bytes, std::vector<std::string>& lines)
{
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        switch (state_) {
            case State::Data:
                if (byte == kIac)
                    state_ = State::Iac;
                else
                    Data(c, lines);
                break;
            case State::Iac:
                if (byte == kIac) {
                    state_ = State::Data;
                    Data(c, lines);
                } else if (byte >= kWill) {
                    state_ = State::Option;
                    verb_ = byte;
                } else if (byte == kSb) {
                    state_ = State::Sub;
                    subLength_ = 0;
                    sub_.clear();
                } else {
                    state_ = State::Data;  // GA, NOP, AYT and the like: nothing to do
                }
                break;
            case State::Option:
                state_ = State::Data;
                negotiations_.push_back({verb_, byte, {}});
                break;
            case State::Sub:
                if (byte == kIac)
                    state_ = State::SubIac;
                else if (++subLength_ > kMaximumSubnegotiation)
                    state_ = State::Data;
                else
                    sub_ += c;
                break;
            case State::SubIac:
                // IAC SE ends it; IAC IAC is payload; any other command ends it too and is read.
                if (byte == kSe) {
                    state_ = State::Data;
                    EndSubnegotiation();
                } else if (byte == kIac) {
                    state_ = State::Sub;
                    sub_ += c;
                } else {
                    state_ = State::Iac;
                    EndSubnegotiation();
                    Feed(std::string_view(&c, 1), lines);
                }
                break;
        }
    }
}

void TelnetLineReader::EndSubnegotiation()
{
    if (sub_.empty()) return;
    negotiations_.push_back({kSb, uint8_t(sub_[0]), sub_.substr(1)});
    sub_.clear();
}

void TelnetLineReader::Data(char byte, std::vector<std::string>& lines)
{
    const bool afterCr = afterCr_;
    afterCr_ = false;
    if (byte == '\r' || (byte == '\n' && !afterCr)) {
        lines.push_back(std::move(line_));
        line_.clear();
        afterCr_ = byte == '\r';
    } else if (byte == '\n' || byte == '\0') {
        // The second byte of CR LF or CR NUL; a NUL elsewhere is padding.
    } else if (line_.size() < kMaximumLine) {
        line_ += byte;
    }
}

}  // namespace zel::demo
