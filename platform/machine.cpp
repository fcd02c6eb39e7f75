#include "platform/machine.h"

#include <stdexcept>

namespace platform {
namespace {
Machine* current = nullptr;
}

Machine& Os() {
  if (!current) throw std::logic_error("no machine has been set");
  return *current;
}

void SetOs(Machine* machine) { current = machine; }

}  // namespace platform
