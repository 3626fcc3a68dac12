#include <string>
#include <vector>

#include "tools/dtmf/run.h"

int wmain(int argc, wchar_t** argv) {
  return dtmf_tool::RunAndReport(std::vector<std::wstring>(argv + 1, argv + argc));
}
