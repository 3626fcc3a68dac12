// The exported playing calls, the same on every system; no exception
// leaves them.

#include <optional>
#include <utility>

#include "zelnor.h"
#include "zelnor/exports/call_boundary.h"
#include "zelnor/exports/play_options.h"
#include "zelnor/exports/the_player.h"
#include "zelnor/input/dial_sequence.h"

extern "C" int ZELNOR_CALL PlayDTMFEx(const char* dial, const ZelnorOptions* options,
                                      int32_t async) {
  return zelnor::ResultOf([&] {
    // Everything needed from the caller's string is copied here, before any
    // asynchronous return; a null dial or bad options change nothing.
    zelnor::DtmfSequence sequence = zelnor::SequenceForDial(dial, options);
    std::optional<zelnor::Playback> playback;
    // Progress is told on this thread while a synchronous call waits.
    std::optional<zelnor::ProgressReport> progress;
    if (!sequence.Finished()) {
      const bool has_progress = options->cbSize == sizeof(ZelnorOptions) && options->progress;
      if (has_progress && async == 0) {
        progress.emplace(zelnor::SequenceForDial(dial, options),
                         zelnor::ProgressCallback{options->progress, options->progress_context});
      }
      playback.emplace(zelnor::Playback{std::move(sequence), options->device});
    }
    return zelnor::ThePlayer().Play(std::move(playback), async != 0,
                                    progress ? &*progress : nullptr);
  });
}

extern "C" int ZELNOR_CALL PlayDTMF(const char* dial, int32_t interval_ms, int32_t async) {
  const ZelnorOptions options = zelnor::PlayDtmfOptions(interval_ms);
  return PlayDTMFEx(dial, &options, async);
}
