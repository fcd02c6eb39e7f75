#pragma once
// The whole simulated machine. Constructing it makes it the machine the program runs on
// (platform::Os()); destroying it takes it away again. Only one may exist at a time.
#include "platform/machine.h"
#include "platform/sim/sim_call_log.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_progress.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_resources.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_version_info.h"

namespace sim {

class SimMachine {
 public:
  SimMachine();
  ~SimMachine();
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  platform::Machine& Machine() { return machine_; }

  CallLog& Log() { return log_; }
  SimRegistry& Registry() { return registry_; }
  SimFiles& Files() { return files_; }
  SimDialogs& Dialogs() { return dialogs_; }
  SimSystem& System() { return system_; }
  SimShell& Shell() { return shell_; }
  SimResources& Resources() { return resources_; }
  SimVersionInfo& Versions() { return versions_; }
  SimProgress& Progress() { return progress_; }

  // The fault point of this number (see CallLog) is refused.
  void FailOperationAt(int index) { log_.FailOperationAt(index); }

 private:
  CallLog log_;
  SimRegistry registry_;
  SimFiles files_;
  SimDialogs dialogs_;
  SimSystem system_;
  SimShell shell_;
  SimResources resources_;
  SimVersionInfo versions_;
  SimProgress progress_;
  platform::Machine machine_;
};

}  // namespace sim
