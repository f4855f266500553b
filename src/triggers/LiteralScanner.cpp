#include "triggers/LiteralScanner.h"

#include <cstring>

namespace zel {
namespace {

uint32_t PairKey(const char* at)
{
    return uint32_t(uint8_t(at[0])) | (uint32_t(uint8_t(at[1])) << 8);
}

// How common a byte is in game text: spaces, lower-case vowels and the most frequent
// consonants first. A pair's rarity is the sum over its bytes.
int Commonness(uint8_t byte)
{
    static constexpr std::string_view kCommon = " etaoinsrhldcumfpgwybvk";
    const size_t at = kCommon.find(char(byte));
    return at == std::string_view::npos ? 0 : int(kCommon.size() - at);
}

uint32_t RarestPair(const std::string& literal)
{
    uint32_t best = 0;
    int bestScore = 1 << 30;
    for (uint32_t i = 0; i + 1 < literal.size(); ++i) {
        const int score = Commonness(uint8_t(literal[i])) + Commonness(uint8_t(literal[i + 1]));
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

}  // namespace

void LiteralScanner::Build(const std::vector<std::string>& literals)
{
    literals_ = literals;
    pairBits_.fill(0);
    byPair_.clear();
    for (auto& single : bySingle_) single.clear();
    hasSingle_.fill(false);
    for (uint32_t i = 0; i < literals_.size(); ++i) {
        const std::string& literal = literals_[i];
        if (literal.size() == 1) {
            bySingle_[uint8_t(literal[0])].push_back(i);
            hasSingle_[uint8_t(literal[0])] = true;
        } else if (literal.size() >= 2) {
            const uint32_t offset = RarestPair(literal);
            const uint32_t key = PairKey(literal.data() + offset);
            pairBits_[key / 64] |= uint64_t(1) << (key % 64);
            byPair_[key].push_back(Keyed{i, offset});
        }
    }
}

void LiteralScanner::Scan(std::string_view text, std::vector<uint8_t>& present) const
{
    present.assign(literals_.size(), 0);
    if (literals_.empty()) return;
    const char* data = text.data();
    const size_t size = text.size();
    for (size_t i = 0; i < size; ++i) {
        if (hasSingle_[uint8_t(data[i])])
            for (uint32_t index : bySingle_[uint8_t(data[i])]) present[index] = 1;
        if (i + 1 >= size) break;
        const uint32_t key = PairKey(data + i);
        if (!(pairBits_[key / 64] & (uint64_t(1) << (key % 64)))) continue;
        for (const Keyed keyed : byPair_.find(key)->second) {
            const std::string& literal = literals_[keyed.index];
            if (present[keyed.index] || keyed.offset > i) continue;
            const size_t start = i - keyed.offset;
            if (literal.size() <= size - start &&
                std::memcmp(data + start, literal.data(), literal.size()) == 0)
                present[keyed.index] = 1;
        }
    }
}

}  // namespace zel
