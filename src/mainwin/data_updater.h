#pragma once
// Runs the data update as a background job of the main window once it is
// up: a short wait, then one pass that fills the new-videos and new-P2P
// lists. The window reads only the two counts, which reach it when the pass
// is done, so no reader ever sees a list while it is being replaced.
//
// The job is detached like every other: the pass replaces its saved copies
// by rename and the next pass clears what a killed one left in its work
// folder, so the program may end while a stopped pass is still winding down.

#include "base/program_paths.h"
#include "browser/background_job.h"

namespace tavelo {

class DataUpdater {
 public:
  // A running pass is stopped when the updater goes: its download ends
  // within one block and its counts are dropped.
  DataUpdater() = default;

  // `results` is the window that reads the counts.
  void Start(ResultPoster results, const ProgramPaths& paths);

  int VideoNewCount() const { return videoNewCount_; }
  int P2pNewCount() const { return p2pNewCount_; }

 private:
  int videoNewCount_ = 0;
  int p2pNewCount_ = 0;
  BackgroundJob job_;
};

}  // namespace tavelo
