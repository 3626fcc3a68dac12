// dtmf: plays a dial string through the zelnor library or writes it to a
// WAV file; hears, or masks, the DTMF in a recording. Read the command
// line, turn it into zelnor's options, call.

#include "tools/dtmf/run.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <stdexcept>

#include "tools/dtmf/command_line.h"
#include "tools/dtmf/console.h"
#include "tools/dtmf/decoding.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/masking.h"
#include "tools/dtmf/reporting.h"
#include "tools/dtmf/sound.h"
#include "tools/dtmf/tel_uri.h"
#include "tools/dtmf/writing.h"

namespace dtmf_tool {
namespace {

std::wstring Trimmed(const std::wstring& text) {
  const auto is_space = [](wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); };
  const auto first = std::find_if_not(text.begin(), text.end(), is_space);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), is_space).base();
  return first < last ? std::wstring(first, last) : std::wstring();
}

int Run(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) {
    Print(StandardStream::kError, UsageText());
    return kExitUsage;
  }
  const Command command = ParseCommandLine(arguments);
  switch (command.action) {
    case Action::kHelp:
      Print(StandardStream::kOutput, UsageText());
      return 0;
    case Action::kVersion:
      Print(StandardStream::kOutput, L"dtmf " DTMF_VERSION L"\n");
      return 0;
    case Action::kListDevices:
      return ListDevices();
    case Action::kDecode:
      return DecodeRecording(command);
    case Action::kMask:
      return MaskRecording(command);
    case Action::kListen:
      return Listen(command);
    case Action::kPlay:
    case Action::kWrite:
      break;
  }
  const std::wstring typed =
      Trimmed(command.symbols_from_stdin ? ReadStandardInputText() : command.symbols);
  const std::wstring dial = IsTelUri(typed) ? DialFromTelUri(typed) : typed;
  Say(command, L"dialling " + dial);
  return command.action == Action::kWrite ? Write(command, dial) : Play(command, dial);
}

}  // namespace

int RunAndReport(const std::vector<std::wstring>& arguments) {
  try {
    return Run(arguments);
  } catch (const UsageError& error) {
    ReportError(error.message() + L" (see dtmf --help)");
    return kExitUsage;
  } catch (const Failure& failure) {
    ReportError(failure.message());
    return failure.exit_status();
  } catch (const std::bad_alloc&) {
    ReportError(L"dtmf: " + OutOfMemoryText());
    return kExitFailed;
  } catch (const std::length_error&) {  // a vector longer than the address space
    ReportError(L"dtmf: " + OutOfMemoryText());
    return kExitFailed;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "dtmf: %s\n", error.what());
    return kExitFailed;
  }
}

}  // namespace dtmf_tool
