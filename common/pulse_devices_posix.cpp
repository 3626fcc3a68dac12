#include "common/pulse_devices_posix.h"

#include <exception>
#include <new>

#include "common/pulse_library_posix.h"

namespace {

struct Collected {
  std::vector<PulseDevice> devices;
  bool out_of_memory = false;
};

// Called from inside the main loop, which is C: nothing may be thrown
// through it.
template <typename Info>
void Collect(pa_context*, const Info* info, int end_of_list, void* context) {
  auto& collected = *static_cast<Collected*>(context);
  if (end_of_list != 0 || info == nullptr) return;
  try {
    collected.devices.push_back(
        {info->name ? info->name : "", info->description ? info->description : ""});
  } catch (const std::exception&) {
    collected.out_of_memory = true;
  }
}

// One connection's main loop and context, freed together.
class Connection {
 public:
  Connection(const PulseLibrary& pulse, const char* client_name) : pulse_(pulse) {
    loop_ = pulse_.mainloop_new();
    if (loop_ != nullptr)
      context_ = pulse_.context_new(pulse_.mainloop_get_api(loop_), client_name);
  }
  ~Connection() {
    if (context_ != nullptr) {
      pulse_.context_disconnect(context_);
      pulse_.context_unref(context_);
    }
    if (loop_ != nullptr) pulse_.mainloop_free(loop_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Connects to the server as any client would (PULSE_SERVER, the
  // session's server); empty on success, else the reason.
  std::string Connect() {
    if (context_ == nullptr) return PulseErrorText(pulse_, PA_ERR_INTERNAL);
    if (pulse_.context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) return Why();
    for (;;) {
      const pa_context_state_t state = pulse_.context_get_state(context_);
      if (state == PA_CONTEXT_READY) return {};
      if (!PA_CONTEXT_IS_GOOD(state) || pulse_.mainloop_iterate(loop_, 1, nullptr) < 0) {
        return Why();
      }
    }
  }

  // Runs the loop until `operation` (taken over) is done; empty on success.
  std::string Await(pa_operation* operation) {
    if (operation == nullptr) return Why();
    bool looping = true;
    while (looping && pulse_.operation_get_state(operation) == PA_OPERATION_RUNNING) {
      looping = pulse_.mainloop_iterate(loop_, 1, nullptr) >= 0;
    }
    pulse_.operation_unref(operation);
    return looping ? std::string() : Why();
  }

  [[nodiscard]] pa_context* context() const { return context_; }

 private:
  std::string Why() const { return PulseErrorText(pulse_, pulse_.context_errno(context_)); }

  const PulseLibrary& pulse_;
  pa_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
};

}  // namespace

PulseDevices ListPulseDevices(PulseDirection direction, const char* client_name) {
  PulseDevices result;
  const PulseLibrary* pulse = LoadPulseLibrary(&result.failure);
  if (pulse == nullptr) return result;
  Connection connection(*pulse, client_name);
  result.failure = connection.Connect();
  if (!result.failure.empty()) return result;
  Collected collected;
  pa_operation* listing = direction == PulseDirection::kPlayback
                              ? pulse->context_get_sink_info_list(
                                    connection.context(), &Collect<pa_sink_info>, &collected)
                              : pulse->context_get_source_info_list(
                                    connection.context(), &Collect<pa_source_info>, &collected);
  result.failure = connection.Await(listing);
  if (collected.out_of_memory) throw std::bad_alloc();
  if (result.failure.empty()) result.devices = std::move(collected.devices);
  return result;
}
