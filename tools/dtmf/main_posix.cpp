#include <string>
#include <vector>

#include "tools/dtmf/run.h"
#include "tools/dtmf/utf8_text.h"

// Arguments come as bytes, read as UTF-8 whatever the locale says.
int main(int argc, char** argv) {
  std::vector<std::wstring> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(dtmf_tool::FromUtf8(argv[i]));
  return dtmf_tool::RunAndReport(arguments);
}
