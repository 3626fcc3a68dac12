#pragma once
// Where zelnor.dll is looked for, and keeping the current directory out.

#include <string>
#include <vector>

// Takes the current directory out of the DLL search order, so a DLL
// planted wherever the user starts from is never loaded.
void RemoveCurrentDirectoryFromDllSearch();

// The folders zelnor.dll is looked for in, in order, each once: the exe's
// folder, the system folder, then PATH's absolute folders.
std::vector<std::wstring> DllSearchFolders();
