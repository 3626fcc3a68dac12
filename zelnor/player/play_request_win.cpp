#include "zelnor/player/play_request_win.h"

#include "zelnor.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

Completion::Completion() : finished_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (!finished_) throw ZelnorError(ZELNOR_E_SYSTEM, "CreateEvent failed");
}

void Completion::Finish(int result) noexcept {
  if (claimed_.exchange(true)) return;
  result_ = result;
  ::SetEvent(finished_.get());  // publishes result_ to waiters
}

bool Completion::WaitFor(DWORD timeout_ms, int& result) const noexcept {
  if (::WaitForSingleObject(finished_.get(), timeout_ms) != WAIT_OBJECT_0) return false;
  result = result_;
  return true;
}

}  // namespace zelnor
