#pragma once
// The -lh5- method of LZH archives: LZ77 over an 8 KiB window, each block
// of commands coded with Huffman tables sent in front of it. Packing is ours;
// unpacking is left to liblhasa, which reads what we write.

#include <QByteArray>
#include <cstdint>

namespace lzh {

// Packs data with -lh5-. An empty input gives an empty result.
QByteArray PackLh5(const QByteArray& data);

// The archive's CRC-16 (polynomial 0xA001, reflected, starting at 0),
// continued from crc.
uint16_t Crc16(const char* data, qsizetype size, uint16_t crc = 0);
inline uint16_t Crc16(const QByteArray& data, uint16_t crc = 0) { return Crc16(data.constData(), data.size(), crc); }

}  // namespace lzh
