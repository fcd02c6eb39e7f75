// The payload read from the program's own file: that file proven to be the image's, and a read
// that the file cannot give (cut short) or that cannot land (an inaccessible page) reported as
// a failed fill, never a fault, on every thread count and both ways of reading.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/chunk_digest.h"
#include "platform/machine.h"
#include "platform/win32/own_image_file.h"
#include "platform/win32/shared_fill.h"
#include "tests/contract/contract_environment.h"

namespace {

using win32::TFileRange;
using win32::TOwnImageFile;

std::string OwnPath() {
  char path[MAX_PATH + 1] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

win32::UniqueFile OpenForReading(const std::string& path) {
  return win32::UniqueFile(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(OwnImageFile, OnlyTheFileTheImageCameFromIsTaken) {
  auto env = MakeContractEnvironment();
  const std::string copy = env->ScratchFolder() + "copy.exe";
  ASSERT_TRUE(::CopyFileA(OwnPath().c_str(), copy.c_str(), FALSE));
  const HMODULE image = ::GetModuleHandleA(nullptr);
  EXPECT_TRUE(win32::IsFileOfImage(OpenForReading(OwnPath()).get(), image));
  EXPECT_FALSE(win32::IsFileOfImage(OpenForReading(copy).get(), image));  // the same bytes
  EXPECT_NE(TOwnImageFile::Open(), nullptr);
}

// The resource as the program reads it, from its own file: the bytes of the mapped image.
TEST(OwnImageFile, ResourceSourceGivesTheResourceBytes) {
  auto env = MakeContractEnvironment();
  auto& os = env->Machine();
  platform::ResourceView view;
  ASSERT_TRUE(os.Res.Find("DAT", "PROBE", view));
  std::string bytes(view.Size, '\0');
  std::vector<std::uint64_t> digests(platform::DigestChunkCount(view.Size));
  EXPECT_TRUE(os.Sys.FillBuffer(bytes.data(), os.Res.Source(view), view.Size, digests.data()));
  EXPECT_EQ(bytes, std::string(view.Data, view.Size));
  EXPECT_EQ(digests, platform::DigestChunks(view.Data, view.Size));
  os.Res.Release(view);
}

class FileFillTest : public ::testing::Test {
 protected:
  static constexpr std::size_t kMib = 1024 * 1024;
  static constexpr std::size_t kOffset = 4096;
  void SetUp() override {
    Env = MakeContractEnvironment();
    Path = Env->ScratchFolder() + "source.bin";
    Bytes.resize(17 * kMib + 5);  // five chunks, the last one short
    for (std::size_t k = 0; k < Bytes.size(); ++k) Bytes[k] = static_cast<char>((k * 2654435761u) >> 13);
    win32::UniqueFile out(::CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(out.get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr));
  }
  // Fills `size` bytes from kOffset of the file into `buffer`, digested or not, on `threads`.
  bool Fill(char* buffer, std::size_t size, bool readsAtOffsets, unsigned threads, bool digest) {
    TOwnImageFile file(OpenForReading(Path), readsAtOffsets);
    const TFileRange range{&file, kOffset, size};
    std::vector<std::uint64_t> digests(platform::DigestChunkCount(size));
    const bool filled = win32::FillShared(buffer, win32::FileSource(range), size,
                                          digest ? digests.data() : nullptr, threads);
    if (filled && digest)
      EXPECT_EQ(digests, platform::DigestChunks(Bytes.data() + kOffset, size));
    return filled;
  }
  std::unique_ptr<ContractEnvironment> Env;
  std::string Path;
  std::string Bytes;
};

TEST_F(FileFillTest, FillsWholeAndFailsWhereTheFileEndsOnEveryThreadCount) {
  const std::size_t whole = Bytes.size() - kOffset;
  for (bool atOffsets : {true, false})
    for (unsigned threads = 1; threads <= win32::kMaxFillThreads; ++threads)
      for (bool digest : {true, false}) {
        SCOPED_TRACE(std::string(atOffsets ? "at offsets" : "through the file pointer") + ", " +
                     std::to_string(threads) + " threads" + (digest ? ", digested" : ""));
        std::vector<char> buffer(whole + 1);
        ASSERT_TRUE(Fill(buffer.data(), whole, atOffsets, threads, digest));
        EXPECT_TRUE(std::memcmp(buffer.data(), Bytes.data() + kOffset, whole) == 0);
        EXPECT_FALSE(Fill(buffer.data(), whole + 1, atOffsets, threads, digest));  // a byte past the end
      }
}

// ReadFile into a page that cannot be written fails with an error code; the fill says so.
TEST_F(FileFillTest, AnInaccessiblePageFailsTheFillWithoutAFault) {
  const std::size_t size = 16 * kMib;
  for (unsigned threads = 1; threads <= win32::kMaxFillThreads; ++threads) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    char* buffer = static_cast<char*>(::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(buffer, nullptr);
    DWORD old = 0;
    ASSERT_TRUE(::VirtualProtect(buffer + 9 * kMib + 8192, 4096, PAGE_NOACCESS, &old));
    EXPECT_FALSE(Fill(buffer, size, true, threads, true));
    EXPECT_FALSE(Fill(buffer, size, true, threads, false));
    ::VirtualFree(buffer, 0, MEM_RELEASE);
  }
}

}  // namespace
