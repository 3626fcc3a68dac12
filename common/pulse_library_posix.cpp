#include "common/pulse_library_posix.h"

#include <dlfcn.h>

namespace {

struct Loaded {
  PulseLibrary calls{};
  bool complete = false;
  std::string why;
};

// Opens `name` for good: the calls are kept for the life of the process.
void* OpenLibrary(const char* name, std::string& why) {
  void* library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) why = ::dlerror();
  return library;
}

template <typename Call>
bool Find(void* library, const char* name, Call& call, std::string& why) {
  call = reinterpret_cast<Call>(::dlsym(library, name));
  if (call == nullptr) why = ::dlerror();
  return call != nullptr;
}

Loaded Load() {
  Loaded loaded;
  std::string& why = loaded.why;
  PulseLibrary& c = loaded.calls;
  void* pulse = OpenLibrary("libpulse.so.0", why);
  void* simple = pulse ? OpenLibrary("libpulse-simple.so.0", why) : nullptr;
  loaded.complete =
      simple && Find(pulse, "pa_strerror", c.strerror, why) &&
      Find(pulse, "pa_mainloop_new", c.mainloop_new, why) &&
      Find(pulse, "pa_mainloop_get_api", c.mainloop_get_api, why) &&
      Find(pulse, "pa_mainloop_iterate", c.mainloop_iterate, why) &&
      Find(pulse, "pa_mainloop_free", c.mainloop_free, why) &&
      Find(pulse, "pa_context_new", c.context_new, why) &&
      Find(pulse, "pa_context_connect", c.context_connect, why) &&
      Find(pulse, "pa_context_get_state", c.context_get_state, why) &&
      Find(pulse, "pa_context_errno", c.context_errno, why) &&
      Find(pulse, "pa_context_disconnect", c.context_disconnect, why) &&
      Find(pulse, "pa_context_unref", c.context_unref, why) &&
      Find(pulse, "pa_context_get_sink_info_list", c.context_get_sink_info_list, why) &&
      Find(pulse, "pa_context_get_source_info_list", c.context_get_source_info_list, why) &&
      Find(pulse, "pa_operation_get_state", c.operation_get_state, why) &&
      Find(pulse, "pa_operation_unref", c.operation_unref, why) &&
      Find(simple, "pa_simple_new", c.simple_new, why) &&
      Find(simple, "pa_simple_free", c.simple_free, why) &&
      Find(simple, "pa_simple_write", c.simple_write, why) &&
      Find(simple, "pa_simple_read", c.simple_read, why) &&
      Find(simple, "pa_simple_flush", c.simple_flush, why) &&
      Find(simple, "pa_simple_get_latency", c.simple_get_latency, why);
  return loaded;
}

}  // namespace

const PulseLibrary* LoadPulseLibrary(std::string* why) {
  static const Loaded loaded = Load();
  if (why != nullptr) *why = loaded.why;
  return loaded.complete ? &loaded.calls : nullptr;
}

std::string PulseErrorText(const PulseLibrary& pulse, int error) {
  const char* text = pulse.strerror(error);
  return text != nullptr ? text : "error " + std::to_string(error);
}
