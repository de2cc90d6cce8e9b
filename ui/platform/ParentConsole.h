// Text for the console the window program was started from ("kvaderon --help").
#pragma once

#include <string>

// Writes the UTF-8 AText to standard output. A Windows program of the window subsystem has no
// standard output unless it was redirected; then the text goes to the console of the program
// that started it, if any. False when the text could not be written.
bool WriteToParentConsole(const std::string& AText);
