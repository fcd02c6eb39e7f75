#pragma once
// The ordered record of what a run did to the simulated machine, and the one fault hook that
// a fault-matrix test drives: every operation that changes the machine is a numbered fault
// point, and any chosen point can be made to fail as the real system would refuse it.
#include <set>
#include <string>
#include <vector>

namespace sim {

struct LoggedCall {
  int Index = -1;          // fault-point number, counted from 0; -1 for calls that change nothing
  std::string Operation;   // e.g. "RegSetValue", "CreateForWrite", "MessageBox"
  std::string Target;      // the path, key\value or text the call was about
  bool Failed = false;     // refused, whether injected or for a reason of the machine
};

class CallLog {
 public:
  // Starts a mutating call. False when the test asked this fault point to fail; the call is
  // then logged as failed and must change nothing.
  bool Enter(const std::string& operation, const std::string& target);
  // Records a call that changes nothing (boxes, progress window); it is no fault point.
  void Note(const std::string& operation, const std::string& target);
  // Marks the last logged call as refused by the machine itself.
  void MarkLastFailed();

  void FailOperationAt(int index) { injected_.insert(index); }
  // How many fault points the run went through so far.
  int OperationCount() const { return nextIndex_; }

  const std::vector<LoggedCall>& Calls() const { return calls_; }
  // "Operation Target" lines of the calls of the given operations (all when empty), in order.
  std::vector<std::string> Lines(const std::vector<std::string>& operations = {}) const;
  std::vector<LoggedCall> Failures() const;

 private:
  std::vector<LoggedCall> calls_;
  std::set<int> injected_;
  int nextIndex_ = 0;
};

}  // namespace sim
