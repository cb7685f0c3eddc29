// The usage text. English only: it is read where the package is made, by
// the author or a deployment tool, never by the user of the installation.
#include "shell/usage.h"
#include "shell/console.h"

static const char* const UsageLines[] = {
    "Usage: installer.exe [-q <argument> | -s <file>]",
    "       installer.exe --check",
    "       installer.exe --help | /?",
    "",
    "Finds a Java runtime for the package in the current directory (the work",
    "directory), or installs the one the package brings, starts the package's",
    "Java install wizard on it, waits for it and tidies the work directory up.",
    "",
    "  (no switch)     a run with the status dialog; a failure shows one box",
    "  -q <argument>   a quiet run: no dialog, no box; the wizard gets",
    "                  -q <argument>",
    "  -s <file>       a run on a properties file of answers: no dialog, no box;",
    "                  the wizard gets -s <file>",
    "  --check         checks the package and names the Java runtime a run would",
    "                  use; starts no wizard and changes nothing but check.log;",
    "                  exit code 0 for a sound package, else 5",
    "  --help, /?      this text",
    "",
    "Read from the work directory:",
    "  kiv.control     the control file: the Java versions wanted, the wizard's",
    "                  command line, how a Java runtime is provided",
    "  TestJvm.class   the test class each Java runtime found is proved with",
    "  install.jar     the wizard",
    "",
    "Logs, in the work directory:",
    "  jinstall.log    the trace of every step (kept after a failed run, or",
    "                  always when an empty one is there before the run)",
    "  errors.log      what failed",
    "  check.log       the findings of --check",
    "",
    "Exit code: 0, unless kiv.control says reportFailureByExitCode=true. The",
    "console does not wait for installer.exe: from cmd, start /wait",
    "installer.exe --check, then echo %ERRORLEVEL%.",
    "",
    "For package authors: docs/make-your-own-package.md, docs/control-file.md,",
    "docs/wizard.md",
};

void writeUsage(HANDLE out) {
    for (const char* line : UsageLines) {
        writeConsole(out, line);
        writeConsole(out, "\r\n");
    }
}
