// The program's version as the window caption shows it.
#pragma once

#include <QString>

// "1.0.0 (сборка 137)" for the version 1.0.0.137 compiled in; "Unknown" without one.
QString GetVersionText();
