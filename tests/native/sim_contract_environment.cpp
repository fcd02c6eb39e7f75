// The seam's contract suite runs natively against a fresh simulated machine per test.
#include <memory>
#include <string>

#include "platform/sim/sim_machine.h"
#include "tests/contract/contract_environment.h"

namespace {

struct SimHeldFile : HeldFile {
  explicit SimHeldFile(std::unique_ptr<sim::FileHold> hold) : Hold(std::move(hold)) {}
  std::unique_ptr<sim::FileHold> Hold;
};

class SimContractEnvironment : public ContractEnvironment {
 public:
  SimContractEnvironment() { machine_.Files().MakeFolders(kScratchFolder); }

  platform::Machine& Machine() override { return machine_.Machine(); }
  std::string ScratchFolder() override { return kScratchFolder; }
  std::string ScratchKey() override { return "Software\\TarvelonContract\\Scratch"; }
  std::unique_ptr<HeldFile> HoldOpen(const std::string& path) override {
    return std::make_unique<SimHeldFile>(machine_.Files().HoldOpen(path));
  }
  std::unique_ptr<HeldFile> HoldOpenSharingDelete(const std::string& path) override {
    return std::make_unique<SimHeldFile>(machine_.Files().HoldOpenSharingDelete(path));
  }
  bool MakeReadOnly(const std::string& path) override {
    if (!machine_.Files().IsFile(path)) return false;
    machine_.Files().SetReadOnly(path, true);
    return true;
  }
  bool MakeFolderLink(const std::string& link, const std::string& target) override {
    machine_.Files().MakeLink(link, target);
    return machine_.Files().IsLink(link);
  }
  bool MakeFileLink(const std::string& link, const std::string& target) override {
    machine_.Files().MakeLink(link, target, false);
    return machine_.Files().IsLink(link);
  }
  // With no answer queued the simulated user already answers as Enter would.
  void PressEnterOnNextBox(const std::string&) override {}

 private:
  static constexpr const char* kScratchFolder = "C:\\ContractScratch\\";
  sim::SimMachine machine_;
};

}  // namespace

std::unique_ptr<ContractEnvironment> MakeContractEnvironment() {
  return std::make_unique<SimContractEnvironment>();
}
