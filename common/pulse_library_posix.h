#pragma once
// PulseAudio's client libraries (libpulse and libpulse-simple), loaded the
// first time sound is wanted rather than linked, so that a program or
// library that uses them still loads and does everything else on a system
// without them. Answers from PipeWire's PulseAudio server as well.

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>
#include <pulse/simple.h>

#include <string>

// The calls used, by their own types.
struct PulseLibrary {
  decltype(&::pa_strerror) strerror;

  decltype(&::pa_mainloop_new) mainloop_new;
  decltype(&::pa_mainloop_get_api) mainloop_get_api;
  decltype(&::pa_mainloop_iterate) mainloop_iterate;
  decltype(&::pa_mainloop_free) mainloop_free;
  decltype(&::pa_context_new) context_new;
  decltype(&::pa_context_connect) context_connect;
  decltype(&::pa_context_get_state) context_get_state;
  decltype(&::pa_context_errno) context_errno;
  decltype(&::pa_context_disconnect) context_disconnect;
  decltype(&::pa_context_unref) context_unref;
  decltype(&::pa_context_get_sink_info_list) context_get_sink_info_list;
  decltype(&::pa_context_get_source_info_list) context_get_source_info_list;
  decltype(&::pa_operation_get_state) operation_get_state;
  decltype(&::pa_operation_unref) operation_unref;

  decltype(&::pa_simple_new) simple_new;
  decltype(&::pa_simple_free) simple_free;
  decltype(&::pa_simple_write) simple_write;
  decltype(&::pa_simple_read) simple_read;
  decltype(&::pa_simple_flush) simple_flush;
  decltype(&::pa_simple_get_latency) simple_get_latency;
};

// The calls, loaded once per process; null when the libraries or a call
// are missing, with the loader's reason in `why` (if given).
const PulseLibrary* LoadPulseLibrary(std::string* why = nullptr);

// PulseAudio's words for one of its error codes ("Connection refused").
std::string PulseErrorText(const PulseLibrary& pulse, int error);
