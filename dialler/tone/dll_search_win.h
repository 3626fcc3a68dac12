#pragma once
// Where zelnor.dll is looked for, and keeping the current directory out.

#include <string>
#include <vector>

// Takes the current directory out of the DLL search order, so a zelnor.dll
// planted wherever the user starts from is never loaded. The exe's folder,
// the system folder and PATH's absolute folders stay searched.
void RemoveCurrentDirectoryFromDllSearch();

// The folders a bare DLL name is looked for in, in order, each once, for
// messages.
std::vector<std::wstring> DllSearchFolders();
