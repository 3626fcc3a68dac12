#pragma once
// Recording from a PulseAudio source (or PipeWire's PulseAudio server):
// 16-bit mono samples handed on a short stretch at a time.

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/dtmf/listening.h"

struct PulseLibrary;
struct pa_simple;

namespace dtmf_tool {

class PulseCapture {
 public:
  // Starts recording from `source` (a source's name; empty for the
  // server's default) at `sample_rate`. Throws Failure (kExitDevice) with
  // PulseAudio's words when it cannot.
  PulseCapture(const std::string& source, uint32_t sample_rate);
  // Stops recording and lets go of the server.
  ~PulseCapture();
  PulseCapture(const PulseCapture&) = delete;
  PulseCapture& operator=(const PulseCapture&) = delete;

  // Hands each stretch to `take`, in the order recorded, until `take`
  // returns false or `stop` is set. Throws Failure (kExitDevice) when the
  // recording fails.
  void Run(const volatile std::sig_atomic_t& stop, const TakeSamples& take);

 private:
  static constexpr uint32_t kStretchMs = 20;

  const PulseLibrary* pulse_ = nullptr;
  pa_simple* stream_ = nullptr;
  std::vector<int16_t> samples_;
};

}  // namespace dtmf_tool
