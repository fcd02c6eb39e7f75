#pragma once
// The progress window of the simulated machine: a recorder of the operations the program
// drives it with, and the state a user would see.
#include <string>
#include <vector>

#include "platform/progress.h"
#include "platform/sim/sim_call_log.h"

namespace sim {

struct ProgressCall {
  std::string Operation;  // "ShowProgress", "SetStatus", "SetRange", "SetPosition", "HideWindow"
  std::string Caption;    // ShowProgress only
  std::string Status;     // ShowProgress and SetStatus
  int Number = 0;         // SetRange and SetPosition
};

class SimProgress : public platform::Progress {
 public:
  explicit SimProgress(CallLog& log) : log_(log) {}

  void ShowProgress(const std::string& caption, const std::string& status) override;
  void SetStatus(const std::string& status) override;
  void SetRange(int max) override;
  void SetPosition(int position) override;
  void HideWindow() override;

  // --- Test-facing.
  // The system refuses the window's thread: ShowProgress starts none, so no window comes and
  // every other operation acts on nothing.
  void RefuseThreadStart(bool refuse = true) { refuseThread_ = refuse; }
  const std::vector<ProgressCall>& Calls() const { return calls_; }
  bool Started() const { return started_; }  // the window's thread was started
  bool Visible() const { return visible_; }
  const std::string& Caption() const { return caption_; }
  const std::string& Status() const { return status_; }
  int RangeMax() const { return rangeMax_; }
  int Position() const { return position_; }

 private:
  CallLog& log_;
  std::vector<ProgressCall> calls_;
  bool refuseThread_ = false;
  bool started_ = false;
  bool visible_ = false;
  std::string caption_;
  std::string status_;
  int rangeMax_ = 100;  // a new progress bar's range is 0..100
  int position_ = 0;
};

}  // namespace sim
