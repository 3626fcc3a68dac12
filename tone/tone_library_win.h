#pragma once
// The binding to zelnor.dll: loaded by bare name on the first dial, the entry
// cached for the rest of the run. A failed lookup leaves nothing cached, so
// the next dial tries again.

#include "common/handles_win.h"
#include "tone/play_dtmf.h"

class ToneLibrary {
 public:
  // The entry, bound on first use. Throws ClickFailure naming what is wrong.
  PlayDtmfFunction PlayDtmf();

 private:
  UniqueModule module_;
  PlayDtmfFunction play_dtmf_ = nullptr;
};
