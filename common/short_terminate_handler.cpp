// libstdc++'s default terminate handler names the type of the exception that
// ended the program, and so links the whole C++ demangler into every binary:
// about a sixth of the program and a quarter of the tone library. This one
// takes its place at link time. Naming the exception is left to a debugger;
// even printing its what() would cost as much again.

#include <cstdio>
#include <cstdlib>
#include <exception>

#if defined(__GLIBCXX__)

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  std::fputs(std::current_exception() ? "terminate called after an uncaught exception\n"
                                      : "terminate called without an active exception\n",
             stderr);
  std::abort();
}

}  // namespace __gnu_cxx

#endif
