// The floor for carrying files as resources under Wine: writes the four payload files that
// this program carries as its own resources into a folder, each straight from the loaded
// resource with one WriteFile (no copy into a buffer of its own, no pause).
//
//   reference_writer FOLDER          FOLDER must exist; existing files are replaced
//
// Prints "NAME.TYPE: ms" per file (FindResourceA to CloseHandle) and "total: ms", read from
// QueryPerformanceCounter. Exit code 0 when every file was written whole, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct TResource {
  const char* Name;
  const char* Type;
  const char* FileName;
};

// The copy order of the setup.
const TResource kResources[] = {
    {"TARVELON", "EXE", "Tarvelon.exe"},
    {"TARVELON", "BAR", "Tarvelon.bar"},
    {"TARVELON", "CAR", "Tarvelon.car"},
    {"UNINSTALL", "EXE", "Uninstall.exe"},
};

double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

// Writes one resource of this module to path; false when it is missing or not written whole.
bool WriteResource(const TResource& resource, const std::string& path) {
  const HRSRC found = FindResourceA(nullptr, resource.Name, resource.Type);
  if (!found) return false;
  const HGLOBAL loaded = LoadResource(nullptr, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(nullptr, found);
  if (!data) return false;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
  return CloseHandle(file) && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: reference_writer FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  if (folder.back() != '\\') folder += '\\';
  LARGE_INTEGER frequency, first, before, after;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&first);
  for (const TResource& resource : kResources) {
    QueryPerformanceCounter(&before);
    if (!WriteResource(resource, folder + resource.FileName)) {
      std::printf("error: %s not written\n", resource.FileName);
      return 1;
    }
    QueryPerformanceCounter(&after);
    std::printf("%s: %.3f\n", resource.FileName, Ms(before, after, frequency));
  }
  std::printf("total: %.3f\n", Ms(first, after, frequency));
  return 0;
}
