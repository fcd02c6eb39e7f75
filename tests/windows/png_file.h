#pragma once
// Writes 32-bit BGRA pixels as a PNG file (8-bit RGB, stored deflate blocks), enough for the
// screenshots the Windows-side tests save. No compression, no dependencies.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace png_file {

inline std::uint32_t Crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void PutBig32(std::vector<unsigned char>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

inline void PutChunk(std::vector<unsigned char>& out, const char* type,
                     const std::vector<unsigned char>& data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  std::vector<unsigned char> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBig32(out, Crc32(typed.data(), typed.size()));
}

// `bgra` holds height rows of width pixels, top row first. False when the file cannot be
// written.
inline bool Write(const std::string& path, int width, int height, const unsigned char* bgra) {
  std::vector<unsigned char> raw;  // filter byte 0, then RGB, per row
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < width; ++x) {
      const unsigned char* pixel = bgra + (static_cast<std::size_t>(y) * width + x) * 4;
      raw.push_back(pixel[2]);
      raw.push_back(pixel[1]);
      raw.push_back(pixel[0]);
    }
  }
  std::vector<unsigned char> zlib = {0x78, 0x01};
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (std::size_t at = 0; at < raw.size() || at == 0;) {
    const std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
    const bool last = at + length == raw.size();
    zlib.push_back(last ? 1 : 0);
    zlib.push_back(static_cast<unsigned char>(length));
    zlib.push_back(static_cast<unsigned char>(length >> 8));
    zlib.push_back(static_cast<unsigned char>(~length));
    zlib.push_back(static_cast<unsigned char>(~length >> 8));
    zlib.insert(zlib.end(), raw.begin() + at, raw.begin() + at + length);
    at += length;
    if (last) break;
  }
  PutBig32(zlib, (b << 16) | a);

  std::vector<unsigned char> header;
  PutBig32(header, static_cast<std::uint32_t>(width));
  PutBig32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, no interlace

  std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", zlib);
  PutChunk(file, "IEND", {});

  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace png_file
