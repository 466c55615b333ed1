#include "platform/lzh/Lh5.h"

#include <algorithm>
#include <array>
#include <queue>
#include <vector>

namespace lzh {

namespace {

constexpr int kWindowBits = 13;
constexpr int kWindowSize = 1 << kWindowBits;  // 8 KiB of history
constexpr int kMaxDistance = kWindowSize - 1;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 256;
constexpr int kMaxChain = 96;   // candidates tried per position
constexpr int kLazyLimit = 32;  // a match this long is taken without looking one byte further
constexpr int kHashBits = 15;

constexpr int kCodes = 256 + kMaxMatch - kMinMatch + 1;  // literals and match lengths: 510
constexpr int kTempCodes = 19;                           // code lengths 0..16 and two zero runs
constexpr int kPositionCodes = kWindowBits + 1;          // 14
constexpr int kCodeCountBits = 9;
constexpr int kTempCountBits = 5;
constexpr int kPositionCountBits = 4;
constexpr int kMaxCodeLength = 16;
constexpr int kBlockCommands = 32768;

// One command of a block: a literal (code < 256) or a match (code 256 + length - 3
// with its distance - 1 in offset).
struct Command {
    uint16_t code;
    uint16_t offset;
};

class BitWriter {
public:
    explicit BitWriter(QByteArray& out) : out_(out) {}
    void Put(int count, uint32_t value) {
        if (count == 0) return;
        buffer_ = (buffer_ << count) | (value & ((uint64_t{1} << count) - 1));
        filled_ += count;
        while (filled_ >= 8) {
            filled_ -= 8;
            out_.append(static_cast<char>((buffer_ >> filled_) & 0xFF));
        }
    }
    void Flush() {
        if (filled_ > 0) out_.append(static_cast<char>((buffer_ << (8 - filled_)) & 0xFF));
        filled_ = 0;
        buffer_ = 0;
    }

private:
    QByteArray& out_;
    uint64_t buffer_ = 0;
    int filled_ = 0;
};

// Code lengths of a Huffman code over freq, none longer than kMaxCodeLength.
// Symbols without frequency get length 0; a single used symbol also gets 0
// (the caller sends it in the one-symbol form).
std::vector<uint8_t> CodeLengths(std::vector<uint32_t> freq) {
    const int n = static_cast<int>(freq.size());
    std::vector<uint8_t> lengths(n, 0);
    for (;;) {
        struct Node {
            uint64_t weight;
            int parent;
        };
        std::vector<Node> nodes;
        std::vector<int> leafNode(n, -1);
        using Item = std::pair<uint64_t, int>;
        std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
        for (int s = 0; s < n; ++s) {
            if (freq[s] == 0) continue;
            leafNode[s] = static_cast<int>(nodes.size());
            nodes.push_back({freq[s], -1});
            queue.push({freq[s], leafNode[s]});
        }
        if (nodes.size() < 2) return lengths;
        while (queue.size() > 1) {
            const auto [w1, a] = queue.top();
            queue.pop();
            const auto [w2, b] = queue.top();
            queue.pop();
            const int parent = static_cast<int>(nodes.size());
            nodes.push_back({w1 + w2, -1});
            nodes[a].parent = parent;
            nodes[b].parent = parent;
            queue.push({w1 + w2, parent});
        }
        int longest = 0;
        for (int s = 0; s < n; ++s) {
            if (leafNode[s] < 0) continue;
            int depth = 0;
            for (int at = leafNode[s]; nodes[at].parent >= 0; at = nodes[at].parent) ++depth;
            lengths[s] = static_cast<uint8_t>(std::min(depth, 255));
            longest = std::max(longest, depth);
        }
        if (longest <= kMaxCodeLength) return lengths;
        // Too deep: flatten the frequencies and build again.
        for (uint32_t& f : freq)
            if (f) f = (f >> 1) | 1;
    }
}

// Canonical codes for the lengths: shorter codes first, equal lengths in symbol order.
std::vector<uint16_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
    std::array<int, kMaxCodeLength + 2> count{};
    for (uint8_t l : lengths) ++count[l];
    count[0] = 0;
    std::array<uint32_t, kMaxCodeLength + 2> next{};
    uint32_t code = 0;
    for (int bits = 1; bits <= kMaxCodeLength; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    std::vector<uint16_t> codes(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s]) codes[s] = static_cast<uint16_t>(next[lengths[s]]++);
    return codes;
}

int UsedSymbols(const std::vector<uint32_t>& freq, int* last) {
    int used = 0;
    *last = 0;
    for (size_t s = 0; s < freq.size(); ++s)
        if (freq[s]) {
            ++used;
            *last = static_cast<int>(s);
        }
    return used;
}

// The lengths of the temp and position tables: 3 bits each, lengths of 7
// and more as three ones, (length - 7) ones and a zero. With special >= 0,
// the lengths after that index may start with a 2-bit count of zeros.
void WriteShortLengths(BitWriter& bits, const std::vector<uint8_t>& lengths, int countBits, int special) {
    int n = static_cast<int>(lengths.size());
    while (n > 0 && lengths[n - 1] == 0) --n;
    bits.Put(countBits, static_cast<uint32_t>(n));
    int i = 0;
    while (i < n) {
        const int k = lengths[i++];
        if (k <= 6) {
            bits.Put(3, static_cast<uint32_t>(k));
        } else {
            bits.Put(k - 3, 0xFFFEu);  // k - 4 ones, then a zero
        }
        if (i == special) {
            int skip = 0;
            while (skip < 3 && i < n && lengths[i] == 0) {
                ++i;
                ++skip;
            }
            bits.Put(2, static_cast<uint32_t>(skip));
        }
    }
}

int PositionSymbol(int offset) {
    int bitsNeeded = 0;
    while (offset >> bitsNeeded) ++bitsNeeded;
    return bitsNeeded;
}

void SendBlock(BitWriter& bits, const std::vector<Command>& commands) {
    std::vector<uint32_t> codeFreq(kCodes, 0);
    std::vector<uint32_t> positionFreq(kPositionCodes, 0);
    for (const Command& c : commands) {
        ++codeFreq[c.code];
        if (c.code >= 256) ++positionFreq[PositionSymbol(c.offset)];
    }

    bits.Put(16, static_cast<uint32_t>(commands.size()));

    int singleCode = 0;
    const int usedCodes = UsedSymbols(codeFreq, &singleCode);
    std::vector<uint8_t> codeLengths = CodeLengths(codeFreq);
    std::vector<uint16_t> codeCodes = CanonicalCodes(codeLengths);
    if (usedCodes >= 2) {
        int n = kCodes;
        while (n > 0 && codeLengths[n - 1] == 0) --n;
        // The code lengths, themselves coded: lengths as length + 2, runs of zeros with codes 0-2.
        std::vector<uint32_t> tempFreq(kTempCodes, 0);
        for (int i = 0; i < n;) {
            const int k = codeLengths[i++];
            if (k != 0) {
                ++tempFreq[k + 2];
                continue;
            }
            int run = 1;
            while (i < n && codeLengths[i] == 0) ++i, ++run;
            if (run <= 2) tempFreq[0] += run;
            else if (run <= 18) ++tempFreq[1];
            else if (run == 19) ++tempFreq[0], ++tempFreq[1];
            else ++tempFreq[2];
        }
        int singleTemp = 0;
        const int usedTemp = UsedSymbols(tempFreq, &singleTemp);
        const std::vector<uint8_t> tempLengths = CodeLengths(tempFreq);
        const std::vector<uint16_t> tempCodes = CanonicalCodes(tempLengths);
        if (usedTemp >= 2) {
            WriteShortLengths(bits, tempLengths, kTempCountBits, 3);
        } else {
            bits.Put(kTempCountBits, 0);
            bits.Put(kTempCountBits, static_cast<uint32_t>(singleTemp));
        }
        auto putTemp = [&](int symbol) { bits.Put(tempLengths[symbol], tempCodes[symbol]); };
        bits.Put(kCodeCountBits, static_cast<uint32_t>(n));
        for (int i = 0; i < n;) {
            const int k = codeLengths[i++];
            if (k != 0) {
                putTemp(k + 2);
                continue;
            }
            int run = 1;
            while (i < n && codeLengths[i] == 0) ++i, ++run;
            if (run <= 2) {
                for (int r = 0; r < run; ++r) putTemp(0);
            } else if (run <= 18) {
                putTemp(1);
                bits.Put(4, static_cast<uint32_t>(run - 3));
            } else if (run == 19) {
                putTemp(0);
                putTemp(1);
                bits.Put(4, 15);
            } else {
                putTemp(2);
                bits.Put(kCodeCountBits, static_cast<uint32_t>(run - 20));
            }
        }
    } else {
        bits.Put(kTempCountBits, 0);
        bits.Put(kTempCountBits, 0);
        bits.Put(kCodeCountBits, 0);
        bits.Put(kCodeCountBits, static_cast<uint32_t>(singleCode));
    }

    int singlePosition = 0;
    const int usedPositions = UsedSymbols(positionFreq, &singlePosition);
    const std::vector<uint8_t> positionLengths = CodeLengths(positionFreq);
    const std::vector<uint16_t> positionCodes = CanonicalCodes(positionLengths);
    if (usedPositions >= 2) {
        WriteShortLengths(bits, positionLengths, kPositionCountBits, -1);
    } else {
        bits.Put(kPositionCountBits, 0);
        bits.Put(kPositionCountBits, static_cast<uint32_t>(singlePosition));
    }

    for (const Command& c : commands) {
        bits.Put(codeLengths[c.code], codeCodes[c.code]);
        if (c.code < 256) continue;
        const int symbol = PositionSymbol(c.offset);
        bits.Put(positionLengths[symbol], positionCodes[symbol]);
        if (symbol > 1) bits.Put(symbol - 1, c.offset);
    }
}

class Matcher {
public:
    explicit Matcher(const QByteArray& data)
        : data_(reinterpret_cast<const uint8_t*>(data.constData())),
          size_(data.size()),
          head_(1 << kHashBits, -1),
          prev_(kWindowSize, -1) {}

    void Insert(qsizetype pos) {
        if (pos + kMinMatch > size_) return;
        const uint32_t h = Hash(pos);
        prev_[pos & (kWindowSize - 1)] = head_[h];
        head_[h] = pos;
    }

    // The longest earlier match for pos within the window: its length (0 when
    // shorter than kMinMatch) and distance.
    int Longest(qsizetype pos, int* distance) const {
        const qsizetype limit = std::min<qsizetype>(kMaxMatch, size_ - pos);
        if (limit < kMinMatch) return 0;
        int best = kMinMatch - 1;
        int chain = kMaxChain;
        const uint8_t* here = data_ + pos;
        for (qsizetype cand = head_[Hash(pos)]; cand >= 0 && pos - cand <= kMaxDistance && chain-- > 0;
             cand = prev_[cand & (kWindowSize - 1)]) {
            const uint8_t* there = data_ + cand;
            if (there[best] != here[best] || there[0] != here[0]) continue;
            int len = 0;
            while (len < limit && there[len] == here[len]) ++len;
            if (len > best) {
                best = len;
                *distance = static_cast<int>(pos - cand);
                if (len >= limit) break;
            }
        }
        return best >= kMinMatch ? best : 0;
    }

private:
    uint32_t Hash(qsizetype pos) const {
        return ((uint32_t{data_[pos]} << 10) ^ (uint32_t{data_[pos + 1]} << 5) ^ data_[pos + 2]) &
               ((1u << kHashBits) - 1);
    }

    const uint8_t* data_;
    qsizetype size_;
    std::vector<qsizetype> head_;
    std::vector<qsizetype> prev_;
};

}  // namespace

uint16_t Crc16(const char* data, qsizetype size, uint16_t crc) {
    static const std::array<uint16_t, 256> table = [] {
        std::array<uint16_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i;
            for (int j = 0; j < 8; ++j) r = (r & 1) ? (r >> 1) ^ 0xA001u : r >> 1;
            t[i] = static_cast<uint16_t>(r);
        }
        return t;
    }();
    for (qsizetype i = 0; i < size; ++i)
        crc = static_cast<uint16_t>(table[(crc ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (crc >> 8));
    return crc;
}

QByteArray PackLh5(const QByteArray& data) {
    QByteArray out;
    if (data.isEmpty()) return out;
    out.reserve(data.size() / 2 + 64);
    BitWriter bits(out);
    Matcher matcher(data);
    const qsizetype n = data.size();
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());

    std::vector<Command> block;
    block.reserve(kBlockCommands);
    auto push = [&](Command c) {
        block.push_back(c);
        if (static_cast<int>(block.size()) == kBlockCommands) {
            SendBlock(bits, block);
            block.clear();
        }
    };

    // Lazy matching: a match is put off by one byte when the next position has a longer one.
    bool haveNext = false;
    int nextLength = 0;
    int nextDistance = 0;
    qsizetype pos = 0;
    while (pos < n) {
        int distance = 0;
        int length;
        if (haveNext) {
            length = nextLength;
            distance = nextDistance;
            haveNext = false;
        } else {
            length = matcher.Longest(pos, &distance);
        }
        matcher.Insert(pos);
        if (length >= kMinMatch && length < kLazyLimit && pos + 1 < n) {
            nextLength = matcher.Longest(pos + 1, &nextDistance);
            if (nextLength > length) {
                haveNext = true;
                push({bytes[pos], 0});
                ++pos;
                continue;
            }
        }
        if (length < kMinMatch) {
            push({bytes[pos], 0});
            ++pos;
            continue;
        }
        push({static_cast<uint16_t>(256 + length - kMinMatch), static_cast<uint16_t>(distance - 1)});
        for (qsizetype p = pos + 1; p < pos + length; ++p) matcher.Insert(p);
        pos += length;
    }
    if (!block.empty()) SendBlock(bits, block);
    bits.Flush();
    return out;
}

}  // namespace lzh
