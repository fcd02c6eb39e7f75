#include "platform/sim/sim_machine.h"

namespace sim {

SimMachine::SimMachine()
    : registry_(log_),
      files_(log_),
      dialogs_(log_),
      system_(log_, files_),
      shell_(log_, files_),
      versions_(files_),
      progress_(log_),
      machine_{registry_, files_, dialogs_, system_, shell_, resources_, versions_, progress_} {
  platform::SetOs(&machine_);
}

SimMachine::~SimMachine() { platform::SetOs(nullptr); }

}  // namespace sim
