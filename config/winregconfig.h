// The registry answer of the package: whether a JVM that the launcher
// installs is to be entered into the Windows registry.
//
// The installation driver, the JVM extraction and the JVM installer run each
// ask this through an operation of their own (configureWinReg); all of them
// read the same control-file key the same way, here.
#ifndef CONFIG_WINREGCONFIG_H
#define CONFIG_WINREGCONFIG_H

#include "base/report.h"

// Reads "configureWinRegistry" from "kiv.control" in the current directory,
// or from "native.properties" when the control file cannot be opened. The
// first line with the key decides: its value after the key and one separator
// character, "true" or "yes" in any case, answers true; any other value
// false. No readable file, or no such line: true. Traces through trace.
bool readConfigureWinReg();

#endif
