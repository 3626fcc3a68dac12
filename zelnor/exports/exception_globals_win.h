#pragma once
// The C++ runtime keeps each thread's exceptions in flight in a
// thread-local it creates once per loaded copy of the runtime and never
// frees: one TLS slot per LoadLibrary of a DLL that throws, until a host
// that loads and frees the DLL around each call runs out (near 1,086). This
// DLL supplies that per-thread record itself (the Itanium C++ ABI's
// __cxa_get_globals) in a slot it frees when it is unloaded.

namespace zelnor {

// From DllMain: the slot for this copy of the DLL; false if none is left.
bool AllocateExceptionSlot() noexcept;
void FreeExceptionSlot() noexcept;

// Frees the calling thread's record once no exception of ours is in flight
// on it: at the end of each exported call and of each thread.
void ReleaseThreadExceptionRecord() noexcept;

}  // namespace zelnor
