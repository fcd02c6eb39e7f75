// The build's reader of a supplied Tarvelon.exe's FileVersion, on version blocks and PE images
// put together here byte by byte.
#include "payload/supplied/pe_file_version.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

void Put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void Set32(std::string& out, std::size_t at, std::uint32_t value) {
  std::string bytes;
  Put32(bytes, value);
  out.replace(at, 4, bytes);
}
std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) Put16(out, static_cast<unsigned char>(c));
  Put16(out, 0);
  return out;
}

// One node of a version block: header, key, value, children (each starting on 4 bytes).
std::string Node(const std::string& key, const std::string& value, std::uint32_t valueLength,
                 bool text, const std::vector<std::string>& children = {}) {
  std::string body = Utf16(key);
  while ((6 + body.size()) % 4) body.push_back('\0');
  body += value;
  for (const std::string& child : children) {
    while ((6 + body.size()) % 4) body.push_back('\0');
    body += child;
  }
  std::string node;
  Put16(node, static_cast<std::uint32_t>(6 + body.size()));
  Put16(node, valueLength);
  Put16(node, text ? 1 : 0);
  return node + body;
}
std::string String(const std::string& key, const std::string& value) {
  return Node(key, Utf16(value), static_cast<std::uint32_t>(value.size() + 1), true);
}
std::string Translation(std::uint32_t language, std::uint32_t codePage) {
  std::string pair;
  Put16(pair, language);
  Put16(pair, codePage);
  return Node("VarFileInfo", "", 0, true, {Node("Translation", pair, 4, false)});
}
std::string Block(const std::vector<std::string>& tables, const std::string& varInfo) {
  const std::string fixed(52, '\x11');
  return Node("VS_VERSION_INFO", fixed, 52, false,
              {Node("StringFileInfo", "", 0, true, tables), varInfo});
}

TEST(PeFileVersion, FileVersionOfTheFirstTranslationsTable) {
  const std::string english = Node("040904b0", "", 0, true,
                                   {String("CompanyName", "Tarvelon"), String("FileVersion", "1.0.1.0")});
  const std::string russian = Node("041904e3", "", 0, true, {String("FileVersion", "9.9.9.9")});
  struct {
    const char* Label;
    std::string Block;
    std::string Expected;
  } rows[] = {
      {"English table named first", Block({russian, english}, Translation(0x409, 0x4b0)), "1.0.1.0"},
      {"Russian table named first", Block({english, russian}, Translation(0x419, 0x4e3)), "9.9.9.9"},
      {"keys in other letter case",
       Block({Node("040904B0", "", 0, true, {String("FILEVERSION", "2.0")})}, Translation(0x409, 0x4b0)),
       "2.0"},
      {"no translation list", Block({english}, Node("VarFileInfo", "", 0, true)), ""},
      {"translation without its table", Block({english}, Translation(0x407, 0x4b0)), ""},
      {"table without FileVersion",
       Block({Node("040904b0", "", 0, true, {String("ProductVersion", "1.0.1")})}, Translation(0x409, 0x4b0)),
       ""},
      {"non-ASCII character",
       Block({Node("040904b0", "", 0, true, {String("FileVersion", "1.0\xE9")})}, Translation(0x409, 0x4b0)),
       "1.0?"},
      {"not a version block", String("FileVersion", "1.0.1"), ""},
      {"empty", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Label);
    EXPECT_EQ(FileVersionOfBlock(row.Block), row.Expected);
  }
}

TEST(PeFileVersion, TruncatedBlocksReadNothingOutsideThem) {
  const std::string block = Block(
      {Node("040904b0", "", 0, true, {String("FileVersion", "1.0.1.0")})}, Translation(0x409, 0x4b0));
  for (std::size_t cut = 0; cut < block.size(); cut += 7) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    EXPECT_EQ(FileVersionOfBlock(block.substr(0, cut)), "");
  }
}

// A PE32 or PE32+ image with one section holding the resource tree: RT_VERSION, name 1,
// language 0x409, data `payload`.
std::string Image(const std::string& payload, bool pe32Plus, std::uint32_t resourceType = 16) {
  std::string image(0x40, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  Set32(image, 0x3C, 0x40);
  image += std::string("PE\0\0", 4);
  const std::uint32_t optionalSize = pe32Plus ? 240 : 224;
  Put16(image, pe32Plus ? 0x8664 : 0x14c);
  Put16(image, 1);  // one section
  Put32(image, 0);
  Put32(image, 0);
  Put32(image, 0);
  Put16(image, optionalSize);
  Put16(image, 0x102);
  const std::size_t optional = image.size();
  image += std::string(optionalSize, '\0');
  image[optional] = 0x0b;
  image[optional + 1] = pe32Plus ? 0x02 : 0x01;
  const std::size_t directories = optional + (pe32Plus ? 112 : 96);
  Set32(image, directories - 4, 16);
  const std::uint32_t sectionRva = 0x3000;
  Set32(image, directories + 2 * 8, sectionRva);

  std::string tree;
  auto directory = [&tree](std::uint32_t id, std::uint32_t target) {
    tree += std::string(12, '\0');
    Put16(tree, 0);
    Put16(tree, 1);
    Put32(tree, id);
    Put32(tree, target);
  };
  directory(resourceType, 0x80000000u | 0x18);
  directory(1, 0x80000000u | 0x30);
  directory(0x409, 0x48);
  Put32(tree, sectionRva + 0x58);
  Put32(tree, static_cast<std::uint32_t>(payload.size()));
  Put32(tree, 0);
  Put32(tree, 0);
  tree += payload;

  const std::uint32_t rawOffset = 0x400;
  std::string section(".rsrc\0\0\0", 8);
  Put32(section, static_cast<std::uint32_t>(tree.size()));
  Put32(section, sectionRva);
  Put32(section, static_cast<std::uint32_t>(tree.size()));
  Put32(section, rawOffset);
  section += std::string(16, '\0');
  image += section;
  image.resize(rawOffset, '\0');
  return image + tree;
}

TEST(PeFileVersion, VersionBlockOfAnImageIsItsVersionResource) {
  const std::string block = Block(
      {Node("040904b0", "", 0, true, {String("FileVersion", "1.0.1.0")})}, Translation(0x409, 0x4b0));
  EXPECT_EQ(VersionBlockOfImage(Image(block, false)), block);
  EXPECT_EQ(VersionBlockOfImage(Image(block, true)), block);
  EXPECT_EQ(FileVersionOfBlock(VersionBlockOfImage(Image(block, false))), "1.0.1.0");
  // Only RT_VERSION counts (24 is a manifest).
  EXPECT_EQ(VersionBlockOfImage(Image(block, false, 24)), "");
  std::string notPe = Image(block, false);
  notPe[0x40] = 'X';
  EXPECT_EQ(VersionBlockOfImage(notPe), "");
  EXPECT_EQ(VersionBlockOfImage("MZ"), "");
  const std::string image = Image(block, false);
  EXPECT_EQ(VersionBlockOfImage(image.substr(0, image.size() - 1)), "")
      << "a resource that runs past the end of the file";
}

TEST(PeFileVersion, VersionTextMustStartTheFileVersion) {
  struct {
    const char* Version;
    const char* Text;
    bool Expected;
  } rows[] = {
      {"1.0.1.0", "1.0.1", true},   {"1.0.1", "1.0.1", true},    {"1.0.1 beta", "1.0.1", true},
      {"1.0.10.0", "1.0.1", false}, {"1.0", "1.0.1", false},     {"1.0.2.0", "1.0.1", false},
      {"", "1.0.1", false},         {"11.0.1.0", "1.0.1", false}, {"1.0.1.0", "", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.Version) + " / " + row.Text);
    EXPECT_EQ(FileVersionBeginsWith(row.Version, row.Text), row.Expected);
  }
}

}  // namespace
