#include "platform/sim/sim_call_log.h"

#include <algorithm>

namespace sim {

bool CallLog::Enter(const std::string& operation, const std::string& target) {
  const int index = nextIndex_++;
  const bool fail = injected_.count(index) > 0;
  calls_.push_back({index, operation, target, fail});
  return !fail;
}

void CallLog::Note(const std::string& operation, const std::string& target) {
  calls_.push_back({-1, operation, target, false});
}

void CallLog::MarkLastFailed() {
  if (!calls_.empty()) calls_.back().Failed = true;
}

std::vector<std::string> CallLog::Lines(const std::vector<std::string>& operations) const {
  std::vector<std::string> lines;
  for (const LoggedCall& call : calls_) {
    if (!operations.empty() &&
        std::find(operations.begin(), operations.end(), call.Operation) == operations.end())
      continue;
    lines.push_back(call.Operation + " " + call.Target);
  }
  return lines;
}

std::vector<LoggedCall> CallLog::Failures() const {
  std::vector<LoggedCall> failed;
  for (const LoggedCall& call : calls_)
    if (call.Failed) failed.push_back(call);
  return failed;
}

}  // namespace sim
