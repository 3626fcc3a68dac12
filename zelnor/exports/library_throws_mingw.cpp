// Where libstdc++'s containers throw from. Its own
// definitions live in one object file that also builds std::logic_error
// from a message, and that pulls in the C++ library's two string
// implementations: some 80 KB, a third of the DLL. Every failure becomes
// a result code at the exported calls anyway, so these throw what that
// code needs and nothing more. Linked into the DLL under MinGW only.

#include <bits/functexcept.h>

#include <new>

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }

// A container asked to grow past its largest size: out of memory, to a
// caller.
void __throw_length_error(const char*) { throw bad_alloc(); }

void __throw_bad_array_new_length() { throw bad_array_new_length(); }

}  // namespace std
