#pragma once
// Process-level services of the simulated machine: locale, platform family, the machine-wide
// namespace of named markers, COM (its start and end logged), the current folder, a settable
// date, a virtual clock that pauses advance without waiting, and buffers that can be made to
// run out.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_call_log.h"
#include "platform/sim/sim_files.h"
#include "platform/system.h"

namespace sim {

class SimSystem : public platform::System {
 public:
  SimSystem(CallLog& log, SimFiles& files) : log_(log), files_(files) {}

  std::uint32_t UserDefaultLcid() override { return lcid_; }
  std::uint32_t PlatformId() override { return platformId_; }
  platform::MarkerResult CreateMarker(const std::string& name) override;
  bool ComInitialize() override;
  void ComUninitialize() override;
  bool SetCurrentDirectory(const std::string& path) override;
  platform::LocalDate Today() override { return today_; }
  void Sleep(std::uint32_t milliseconds) override;
  platform::UniqueBuffer AllocateBuffer(std::size_t size) override;
  bool FillBuffer(char* buffer, const platform::FillSource& source, std::size_t size,
                  std::uint64_t* digests) override;
  // Logged as "CoInitialize", "CoUninitialize" and the step's own name, none a fault point, so
  // a test can place COM and the setup state's start and end among the other calls.
  void NoteProcessStep(const std::string& step) override { log_.Note(step, ""); }

  // --- Test-facing.
  void SetUserDefaultLcid(std::uint32_t lcid) { lcid_ = lcid; }
  void SetPlatformId(std::uint32_t id) { platformId_ = id; }
  // The next marker creation fails: no marker, and GetLastError gives `error`.
  void FailMarkerCreation(long error = 5) { markerError_ = error; }
  bool MarkerExists(const std::string& name) const { return markers_.count(name) > 0; }
  void SetComInitializeResult(bool succeeds) { comSucceeds_ = succeeds; }
  int ComInitializeCount() const { return comInitializeCount_; }
  int ComUninitializeCount() const { return comUninitializeCount_; }
  void SetToday(int year, int month, int day) { today_ = {year, month, day}; }
  // Pauses in order; the virtual clock is their sum.
  const std::vector<std::uint32_t>& Sleeps() const { return sleeps_; }
  std::uint64_t NowMs() const { return nowMs_; }
  // Runs after every pause, so a test can change the machine while the program waits.
  void OnSleep(std::function<void(std::uint32_t)> hook) { onSleep_ = std::move(hook); }
  // Buffers larger than `bytes` cannot be had. nullopt: no limit.
  void SetAllocationLimit(std::optional<std::size_t> bytes) { allocationLimit_ = bytes; }
  const std::vector<std::size_t>& Allocations() const { return allocations_; }

  // A marker handle's end: the name disappears with its last handle.
  void ReleaseMarker(const std::string& name);

 private:
  CallLog& log_;
  SimFiles& files_;
  std::uint32_t lcid_ = 0x0409;
  std::uint32_t platformId_ = 2;
  std::map<std::string, int> markers_;  // object names are case-sensitive
  std::optional<long> markerError_;
  bool comSucceeds_ = true;
  int comInitializeCount_ = 0;
  int comUninitializeCount_ = 0;
  platform::LocalDate today_{2024, 3, 7};
  std::vector<std::uint32_t> sleeps_;
  std::uint64_t nowMs_ = 0;
  std::function<void(std::uint32_t)> onSleep_;
  std::optional<std::size_t> allocationLimit_;
  std::vector<std::size_t> allocations_;
};

}  // namespace sim
