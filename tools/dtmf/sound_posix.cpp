// dtmf's sound on a PulseAudio server (or PipeWire's PulseAudio server):
// the library plays on its sinks, --listen records from its sources.

#include <string>
#include <vector>

#include "common/pulse_devices_posix.h"
#include "common/pulse_library_posix.h"
#include "tools/dtmf/console.h"
#include "tools/dtmf/device_choice.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/listening_posix.h"
#include "tools/dtmf/sound.h"
#include "tools/dtmf/sound_devices.h"
#include "tools/dtmf/utf8_text.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

constexpr char kClientName[] = "dtmf";

PulseDevices Sinks() { return ListPulseDevices(PulseDirection::kPlayback, kClientName); }

PulseDevices Sources() { return ListPulseDevices(PulseDirection::kRecord, kClientName); }

// What a person reads and what the server calls it, so -d takes either.
std::wstring ShownName(const PulseDevice& device) {
  const std::wstring name = FromUtf8(device.name);
  if (device.description.empty() || device.description == device.name) return name;
  return FromUtf8(device.description) + L" (" + name + L")";
}

std::vector<std::wstring> ShownNames(const PulseDevices& listed) {
  std::vector<std::wstring> names;
  for (const PulseDevice& device : listed.devices) names.push_back(ShownName(device));
  return names;
}

// Why `listed` lacks the device wanted, in PulseAudio's (or the loader's)
// words.
std::wstring NoDeviceText(const PulseDevices& listed) {
  if (!listed.failure.empty()) return FromUtf8(listed.failure);
  std::string why;
  const PulseLibrary* pulse = LoadPulseLibrary(&why);
  return FromUtf8(pulse ? PulseErrorText(*pulse, PA_ERR_NOENTITY) : why);
}

bool Listed(const PulseDevices& listed, uint32_t id) {
  return id == ZELNOR_DEFAULT_DEVICE ? !listed.devices.empty() : id < listed.devices.size();
}

}  // namespace

std::vector<std::wstring> OutputDeviceNames() { return ShownNames(Sinks()); }

std::wstring PlayFailureText(uint32_t device, uint32_t sample_rate) {
  const PulseDevices sinks = Sinks();
  if (!Listed(sinks, device)) return NoDeviceText(sinks);
  // The sink opened as the library opens it, for the server's own words.
  const PulseLibrary& pulse = *LoadPulseLibrary();
  const pa_sample_spec format{PA_SAMPLE_S16NE, sample_rate, 1};
  const char* sink = device == ZELNOR_DEFAULT_DEVICE ? nullptr : sinks.devices[device].name.c_str();
  int error = 0;
  pa_simple* stream = pulse.simple_new(nullptr, kClientName, PA_STREAM_PLAYBACK, sink, "DTMF tones",
                                       &format, nullptr, nullptr, &error);
  if (stream == nullptr) return FromUtf8(PulseErrorText(pulse, error));
  pulse.simple_free(stream);
  return L"it stopped taking samples";
}

int ListDevices() {
  const PulseDevices sinks = Sinks();
  if (sinks.devices.empty()) {
    throw Failure(kExitDevice, L"dtmf: --list-devices: no output device: " + NoDeviceText(sinks));
  }
  Print(StandardStream::kOutput, DeviceListLines(ShownNames(sinks), ShownNames(Sources())));
  return 0;
}

int Listen(const Command& command) {
  // The server's default source needs no list.
  const PulseDevices sources = command.device ? Sources() : PulseDevices{};
  const Device device = ChooseDevice(command.device, ShownNames(sources), L"input");
  if (device.id == ZELNOR_DEFAULT_DEVICE) return ListenOn(command, {}, device.name);
  if (!Listed(sources, device.id)) {
    throw Failure(kExitDevice,
                  L"dtmf: --listen: cannot open the input device: " + NoDeviceText(sources));
  }
  return ListenOn(command, sources.devices[device.id].name, device.name);
}

}  // namespace dtmf_tool
