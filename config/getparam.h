// GetParameters: reads the package's control file "kiv.control" into the
// launch parameters that the installation driver owns.
//
// The file is read line by line, never written: a line that starts with one
// of the key names sets that value (the last such line counts), and the
// first line with "configureWinRegistry" sets the registry switch (the
// character after the key is the separator and is skipped). Defaults fill the gaps and the JVM program
// name is normalised. Every value goes into its field of ControlSettings; a
// value that does not fit is cut and the cut is traced.
#ifndef CONFIG_GETPARAM_H
#define CONFIG_GETPARAM_H

#include <windows.h>

#include "base/textline.h"
#include "base/usertext.h"
#include "config/settings.h"

// How every reader of the control file takes its lines: bytes as they are,
// any line end, no byte-order mark, 5100 characters a line.
LineRule controlFileLines();

// Whether the control file asks for a failed run's outcome as the exit code
// ("reportFailureByExitCode=true", in any case).
bool failureByExitCode(const ControlSettings& settings);

class GetParameters {
public:
    // userTracing: the user switched tracing on (FileReport), which keeps
    // the console JVM program.
    explicit GetParameters(bool userTracing) : userTracing(userTracing) {}
    ~GetParameters() {}
    GetParameters(const GetParameters&) = delete;
    GetParameters& operator=(const GetParameters&) = delete;

    // The whole reading of "kiv.control" in the work directory into
    // settings; false when the file cannot be opened or rewritten (a box has
    // then been shown).
    bool getParameters(ControlSettings& settings);

    // Empties every value, reads the file controlFilename and applies the
    // defaults; false when the file cannot be opened or read to its end.
    bool parseParameters(ControlSettings& settings, const char* controlFilename);

    // True when the control file can be opened; otherwise the failure is
    // logged and shown.
    bool isReadable(const char* path);

    // Defaults and the JVM program name's normalisation; always true.
    bool verifyParameters(ControlSettings& settings);

    // Unescapes the JVM switches in place: backslashes before one of the
    // special file-name characters (and doubled ones) are removed.
    void removeExtraBackSlashes(char* text);
    // Drops the blanks and tabs around a value.
    static void trimBlanks(char* text);

    // Unescapes a directory in place: "/" becomes "\", "\\" becomes "\" and
    // "\:" becomes ":".
    void unescapeDirectory(char* text);

    // False for \ / : * ? " < > |, true for everything else (NUL included).
    bool isfilenameChar(char c);

    // Why the reading failed, for the user; UserTextCount while it has not.
    UserText failure = UserTextCount;

private:
    // The registry switch from its control-file line.
    void readRegistrySwitch(ControlSettings& settings, const char* line);

    bool userTracing;
};

#endif
