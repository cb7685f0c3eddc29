// readConfigureWinReg: the scan of the control file (or, failing that, of
// native.properties) for the key "configureWinRegistry".
#include "config/winregconfig.h"

#include "base/textline.h"
#include "config/getparam.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char KivControlFilename[] = "kiv.control";
static const char NativePropertiesFilename[] = "native.properties";
static const char ConfigureRegistryField[] = "configureWinRegistry";

// Properties lines: at most 998 characters a read; the value
// follows the key and one separator character.
enum { LineReadLimit = 999, ConfigureValueOffset = 21 };

bool readConfigureWinReg() {
    // The control file is read as its own reader reads it (any line end,
    // no byte-order mark); only the beginning of a line matters here.
    LineReader control(KivControlFilename, controlFileLines());
    // The properties are opened only when the control file is not there.
    LineReader properties(control.isOpen() ? "" : NativePropertiesFilename,
                          textLines(LineReadLimit - 1));
    LineReader& file = control.isOpen() ? control : properties;
    if (!file.isOpen()) {
        trace("unable to open kiv.control file",
                           "defaulting to configure registry");
        return true;
    }
    bool answer = true;
    char* line = (char*)malloc(controlFileLines().limit + 1);
    if (!line) return true;
    while (file.read(line)) {
        if (!startsWith(line, ConfigureRegistryField)) continue;
        trace(line);
        const char* value = strlen(line) > ConfigureValueOffset ? line + ConfigureValueOffset : "";
        answer = _stricmp(value, "true") == 0 || _stricmp(value, "yes") == 0;
        trace(ConfigureRegistryField, answer);
        break;
    }
    free(line);
    return answer;
}
