// The standard input, output and error of a program that was started with some of them closed.
#pragma once

namespace kvaderon::platform {

// Opens the null device on each of descriptors 0, 1 and 2 that is not open, so that no file the
// program opens later can take the number of a standard stream and receive its text. To be
// called first in main(), before any file is opened; false when the null device cannot be
// opened, and the program must then end at once.
bool OpenMissingStandardDescriptors();

} // namespace kvaderon::platform
