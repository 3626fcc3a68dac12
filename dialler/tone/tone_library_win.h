#pragma once
// The binding to zelnor.dll: loaded by bare name on the first dial, the entry
// cached for the rest of the run. A failed lookup leaves nothing cached, so
// the next dial tries again.

#include <stdexcept>
#include <string>
#include <utility>

#include "common/handles_win.h"
#include "dialler/tone/play_dtmf.h"

// Why the library or its entry could not be bound, in the user's language.
class ToneLibraryFailure : public std::runtime_error {
 public:
  explicit ToneLibraryFailure(std::wstring message)
      : std::runtime_error("zelnor.dll not bound"), message_(std::move(message)) {}
  const std::wstring& message() const noexcept { return message_; }

 private:
  std::wstring message_;
};

class ToneLibrary {
 public:
  // The entry, bound on first use. Throws ToneLibraryFailure.
  PlayDtmfFunction PlayDtmf();

 private:
  UniqueModule module_;
  PlayDtmfFunction play_dtmf_ = nullptr;
};
