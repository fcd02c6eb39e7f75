#include "platform/sim/sim_progress.h"

namespace sim {

void SimProgress::ShowProgress(const std::string& caption, const std::string& status) {
  calls_.push_back({"ShowProgress", caption, status, 0});
  log_.Note("ShowProgress", caption);
  if (!started_ && refuseThread_) return;
  started_ = true;
  visible_ = true;
  caption_ = caption;
  status_ = status;
}

void SimProgress::SetStatus(const std::string& status) {
  calls_.push_back({"SetStatus", "", status, 0});
  log_.Note("SetStatus", status);
  if (started_) status_ = status;
}

void SimProgress::SetRange(int max) {
  calls_.push_back({"SetRange", "", "", max});
  log_.Note("SetRange", std::to_string(max));
  if (started_) rangeMax_ = max;
}

void SimProgress::SetPosition(int position) {
  calls_.push_back({"SetPosition", "", "", position});
  log_.Note("SetPosition", std::to_string(position));
  if (started_) position_ = position;
}

void SimProgress::HideWindow() {
  calls_.push_back({"HideWindow", "", "", 0});
  log_.Note("HideWindow", "");
  visible_ = false;
}

}  // namespace sim
