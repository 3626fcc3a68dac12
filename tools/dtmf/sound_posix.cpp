#include "tools/dtmf/dial_waits.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/sound.h"

namespace dtmf_tool {
namespace {

[[noreturn]] void ThrowNoSoundServer(const std::wstring& job) {
  throw Failure(kExitDevice,
                L"dtmf: " + job + L" needs a sound server, which this build does not use yet");
}

}  // namespace

int Play(const Command&, const std::wstring& dial) {
  // A bad dial is a usage error before it is a missing device, as on Windows.
  RefuseWaits(dial, L"which needs a console, and standard input is not one");
  ThrowNoSoundServer(L"playing");
}

int Listen(const Command&) { ThrowNoSoundServer(L"--listen"); }

int ListDevices() { ThrowNoSoundServer(L"--list-devices"); }

}  // namespace dtmf_tool
