// readConfigureWinReg: the scan of the control file (or, failing that, of
// native.properties) for the key "configureWinRegistry".
#include "config/winregconfig.h"

#include "base/textline.h"

#include <stdio.h>
#include <string.h>

static const char KivControlFilename[] = "kiv.control";
static const char NativePropertiesFilename[] = "native.properties";
static const char ConfigureRegistryField[] = "configureWinRegistry";
static const char TraceFilename[] = "jinstall.log";

// Control-file lines: 1001 bytes, at most 998 characters a read; the value
// follows the key and one separator character.
enum { LineSize = 1001, LineReadLimit = 999, ConfigureValueOffset = 21 };

bool readConfigureWinReg(Trace& trace) {
    LineReader control(KivControlFilename, textLines(LineReadLimit - 1));
    // The properties are opened only when the control file is not there.
    LineReader properties(control.isOpen() ? "" : NativePropertiesFilename,
                          textLines(LineReadLimit - 1));
    LineReader& file = control.isOpen() ? control : properties;
    if (!file.isOpen()) {
        trace.traceMessage(TraceFilename, "unable to open kiv.control file",
                           "defaulting to configure registry");
        return true;
    }
    bool answer = true;
    char line[LineSize];
    while (file.read(line)) {
        if (!startsWith(line, ConfigureRegistryField)) continue;
        trace.traceMessage(TraceFilename, line);
        const char* value = strlen(line) > ConfigureValueOffset ? line + ConfigureValueOffset : "";
        answer = _stricmp(value, "true") == 0 || _stricmp(value, "yes") == 0;
        trace.traceMessage(TraceFilename, ConfigureRegistryField, answer);
        break;
    }
    return answer;
}
