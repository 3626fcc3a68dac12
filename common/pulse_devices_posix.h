#pragma once
// The sinks or sources a PulseAudio server has, in its own order, which is
// the order the device numbers count in.

#include <string>
#include <vector>

struct PulseDevice {
  std::string name;         // the server's name for it ("alsa_output....", "feed.monitor")
  std::string description;  // what a person reads ("Monitor of Null Output")
};

enum class PulseDirection { kPlayback, kRecord };

struct PulseDevices {
  std::vector<PulseDevice> devices;  // sinks for kPlayback, sources for kRecord
  // Why the server could not be asked, in PulseAudio's (or the loader's)
  // words; empty when it answered.
  std::string failure;
};

// Asks the server as the client `client_name`.
PulseDevices ListPulseDevices(PulseDirection direction, const char* client_name);
