#pragma once
// Driving the shell's folder browser of another process: its tree view is
// walked through memory allocated in that process, since tree-view messages
// carry pointers.
#include <windows.h>

#include <string>

namespace uiauto {

// Selects `path` ("C:\a\b" or "C:\") in the browser's tree, expanding the
// way there, and presses OK; returns once the browser is gone. False with
// `problem` set when the path cannot be found in the tree.
bool chooseFolder(HWND browser, const std::string& path, std::string& problem);

} // namespace uiauto
