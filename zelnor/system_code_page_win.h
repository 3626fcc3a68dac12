#pragma once
// The reading rules of the system ANSI code page, so that double-byte code
// pages other than 932 are read correctly too.

#include "zelnor/code_page_rules.h"

namespace zelnor {

// Worked out once per process; the ANSI code page does not change while it runs.
const CodePageRules& SystemCodePageRules();

}  // namespace zelnor
