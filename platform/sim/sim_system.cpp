#include "platform/sim/sim_system.h"


#include "platform/chunk_digest.h"
#include "platform/win_constants.h"

namespace sim {
namespace {

class SimMarker : public platform::NamedMarker {
 public:
  SimMarker(SimSystem& system, std::string name) : system_(system), name_(std::move(name)) {}
  ~SimMarker() override { system_.ReleaseMarker(name_); }

 private:
  SimSystem& system_;
  std::string name_;
};

}  // namespace

platform::MarkerResult SimSystem::CreateMarker(const std::string& name) {
  platform::MarkerResult result;
  if (markerError_) {
    result.LastError = *markerError_;
    markerError_.reset();
    return result;
  }
  // Like CreateFileMappingA: opening an existing object still gives a handle to it.
  int& handles = markers_[name];
  result.LastError = handles > 0 ? win::kErrorAlreadyExists : win::kErrorSuccess;
  ++handles;
  result.Marker = std::make_unique<SimMarker>(*this, name);
  return result;
}

void SimSystem::ReleaseMarker(const std::string& name) {
  const auto marker = markers_.find(name);
  if (marker != markers_.end() && --marker->second == 0) markers_.erase(marker);
}

bool SimSystem::ComInitialize() {
  log_.Note("CoInitialize", "");
  ++comInitializeCount_;
  if (!comSucceeds_) log_.MarkLastFailed();
  return comSucceeds_;
}

void SimSystem::ComUninitialize() {
  log_.Note("CoUninitialize", "");
  ++comUninitializeCount_;
}

bool SimSystem::SetCurrentDirectory(const std::string& path) {
  return files_.SetCurrentDirectory(path);
}

void SimSystem::Sleep(std::uint32_t milliseconds) {
  sleeps_.push_back(milliseconds);
  nowMs_ += milliseconds;
  if (onSleep_) onSleep_(milliseconds);
}

platform::UniqueBuffer SimSystem::AllocateBuffer(std::size_t size) {
  allocations_.push_back(size);
  const platform::BufferDeleter release = [](char* memory) { delete[] memory; };
  if (allocationLimit_ && size > *allocationLimit_) return {nullptr, release};
  return {new char[size], release};
}

bool SimSystem::FillBuffer(char* buffer, const platform::FillSource& source, std::size_t size,
                           std::uint64_t* digests) {
  for (std::size_t k = 0; k < platform::DigestChunkCount(size); ++k)
    if (!platform::FillChunk(buffer, source, size, k, digests)) return false;
  return true;
}

}  // namespace sim
