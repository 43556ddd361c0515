#pragma once

#include <QByteArray>
#include <cstdint>

// The byte frames of the box's serial protocol and their 8-bit additive
// checksum. Addresses and 16-bit values travel high byte first; a count byte
// of 0 stands for 256 data bytes.
namespace Frames {

inline constexpr char ReadCommand = 0x52;      // "R"
inline constexpr char WriteCommand = 0x57;     // "W"
inline constexpr char RealTimeCommand = 0x77;  // "w"
inline constexpr char VersionCommand = 0x56;   // "V", sent twice
inline constexpr char Acknowledge = 0x4F;      // "O"
inline constexpr char Refusal = 0x3F;          // "?" as the first version byte
inline constexpr int MaxData = 256;

// Low 8 bits of the sum of bytes 0..n-1 of an array of n+1 bytes (the last
// slot is where the checksum goes).
std::uint8_t ComputeChecksum(const QByteArray &frame);
// True when the last byte equals the low 8 bits of the sum of the others.
bool IsChecksumValid(const QByteArray &frame);
// Low 8 bits of the sum of every byte.
std::uint8_t Sum8(const QByteArray &bytes);

inline std::uint8_t HiByte(int value) { return static_cast<std::uint8_t>((value >> 8) & 0xFF); }
inline std::uint8_t LoByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }
inline int MakeWord(std::uint8_t high, std::uint8_t low) { return high * 256 + low; }

// The count byte for n data bytes (1..256).
inline char CountByte(int n) { return static_cast<char>(n == 256 ? 0 : n); }
// The number of data bytes a count byte stands for.
inline int CountFromByte(char c) { return static_cast<std::uint8_t>(c) == 0 ? 256 : static_cast<std::uint8_t>(c); }

// "VV".
QByteArray VersionRequest();
// 0x52, count, address high, address low, checksum.
QByteArray ReadRequest(int address, int count);
// 0x57 (or 0x77 for a real-time write), count, address high, address low,
// data (1..256 bytes), checksum of everything before it.
QByteArray WriteRequest(int address, const QByteArray &data);
QByteArray RealTimeRequest(int address, const QByteArray &data);

} // namespace Frames
