// LiteralScanner: finds which of many literals occur in a text in one pass over it. Each
// literal is keyed by its least common pair of adjacent bytes; a bitmap of the keys rejects
// almost every position of the text with one look-up, and only positions that pass are
// compared.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zel {

class LiteralScanner {
public:
    // Literal i of `literals` is reported as present[i]; empty literals are never reported.
    void Build(const std::vector<std::string>& literals);
    void Scan(std::string_view text, std::vector<uint8_t>& present) const;

private:
    struct Keyed {
        uint32_t index;
        uint32_t offset;  // of the key pair within the literal
    };
    std::vector<std::string> literals_;
    std::array<uint64_t, 65536 / 64> pairBits_{};
    std::unordered_map<uint32_t, std::vector<Keyed>> byPair_;
    std::array<std::vector<uint32_t>, 256> bySingle_;
    std::array<bool, 256> hasSingle_{};
};

}  // namespace zel
