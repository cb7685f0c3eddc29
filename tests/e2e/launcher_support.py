"""Helpers for the launcher's end-to-end scenarios: lay out a work directory,
put stub JVM homes (tests/stubs/stubjvm.cpp: every run appended to
bin\\stubjvm.runs, a wizard run's native.properties copied to
bin\\stubjvm.properties) or the bridge to the host's Java
(tests/stubs/hostjava.cpp) into the prefix, register them under
HKLM\\SOFTWARE\\JavaSoft, run the launcher and read back what happened."""
import re
import subprocess
from pathlib import Path

from conftest import BUILD, installer, log_lines, read_text, stub, wait_for

HOST_JAVA = Path("/usr/lib/jvm/default-java/bin/java")
TEST_CLASS = BUILD / "java" / "TestJvm.class"
WIZARD_JAR = BUILD / "java" / "install.jar"

JRE_KEY = "Java Runtime Environment"
JDK_KEY = "Java Development Kit"
PLUGIN_KEY = "Java Plug-in"


def layout(wine, workdir, control, trace=True, jar=True, test_class=True):
    """Fills the work directory; control is the text of kiv.control. With
    trace, an empty jinstall.log of the user's switches tracing on (and it
    survives the clean-up)."""
    (workdir / "installer.exe").write_bytes(installer().read_bytes())
    (workdir / "kiv.control").write_bytes(control.encode("latin-1"))
    if test_class:
        (workdir / "TestJvm.class").write_bytes(TEST_CLASS.read_bytes())
    if jar:
        (workdir / "install.jar").write_bytes(WIZARD_JAR.read_bytes())
    if trace:
        (workdir / "jinstall.log").write_bytes(b"")


def control_text(**values):
    """A control file with one line per key, in the order given."""
    return "".join(f"{key}={value}\n" for key, value in values.items())


class StubJvm:
    """A stub JVM home C:\\jvms\\<name> with bin\\javaw.exe."""

    def __init__(self, wine, name, version, wizard=True):
        self.wine = wine
        self.home = wine.drive_c / "jvms" / name
        self.bindir = self.home / "bin"
        self.bindir.mkdir(parents=True)
        (self.bindir / "javaw.exe").write_bytes(stub("stubjvm").read_bytes())
        (self.bindir / "stubjvm.ini").write_text(
            f"version={version}\nwizard={1 if wizard else 0}\n")

    @property
    def winhome(self):
        return self.wine.winpath(self.home)

    @property
    def program(self):
        return self.winhome + "\\bin\\javaw.exe"

    def runs(self):
        """The recorded runs: dicts with kind, program, args, cwd and env."""
        result = []
        for line in read_text(self.bindir / "stubjvm.runs").splitlines():
            word, _, rest = line.partition(" ")
            if word == "RUN":
                result.append({"kind": rest, "args": [], "env": {}})
            elif word == "PROGRAM":
                result[-1]["program"] = rest
            elif word == "ARG":
                result[-1]["args"].append(rest)
            elif word == "CWD":
                result[-1]["cwd"] = rest
            elif word == "ENV":
                name, _, value = rest.partition("=")
                result[-1]["env"][name.upper()] = value
        return result

    def kinds(self):
        return [run["kind"] for run in self.runs()]

    def wizard_runs(self):
        return [run for run in self.runs() if run["kind"] == "wizard"]

    def properties(self):
        """native.properties as the last wizard run found it, bytes."""
        path = self.bindir / "stubjvm.properties"
        return path.read_bytes() if path.exists() else None


def reg_escape(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def register(wine, entries):
    """Registers JVMs: entries of (product key, version subkey, micro
    version, home directory as a Windows path)."""
    lines = []
    for product, version, micro, home in entries:
        lines.append(f"[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\{product}\\{version}]")
        if micro is not None:
            lines.append(f'"MicroVersion"="{reg_escape(micro)}"')
        lines.append(f'"JavaHome"="{reg_escape(home)}"')
        lines.append("")
    wine.reg_import("\n".join(lines) + "\n")


def run_launcher(wine, workdir, *args, env=None, timeout=120):
    """Runs the work directory's installer.exe there and waits for it;
    returns its exit code."""
    proc = wine.start(workdir / "installer.exe", *args, cwd=workdir, env=env)
    try:
        proc.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise
    return proc.returncode


def run_quiet(wine, workdir, *args, start=None):
    """One quiet run of the built installer.exe in workdir (default "-q x").
    Without a control file there, one that turns the search off: the run
    fails at once, quietly, without a box of the control-file reader.
    start, when given, is written to startdir.txt."""
    control = workdir / "kiv.control"
    if not control.exists():
        control.write_bytes(b"searchForJvm=none\n")
    if start is not None:
        (workdir / "startdir.txt").write_bytes(start.encode("latin-1") + b"\r\n")
    proc = wine.start(installer(), *(args or ("-q", "x")), cwd=workdir)
    try:
        proc.communicate(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
        raise
    assert proc.returncode == 0


def install_cleanup_stub(work):
    """Puts the stand-in clean-up program (tests/stubs/cleanupstub.cpp) into
    work as cleanup.exe."""
    (work / "cleanup.exe").write_bytes(stub("cleanupstub").read_bytes())


def cleanup_runs(work, seconds=10):
    """What the stand-in clean-up program received ("RUN", then "ARG <text>"
    lines, UTF-8), once it has run (waited for up to ten seconds, or as given)."""
    path = work / "cleanupstub.runs"
    runs = lambda: path.read_bytes().decode("utf-8").splitlines() if path.exists() else []
    wait_for(lambda: len(runs()) >= 2, seconds)
    return runs()


def trace_texts(workdir):
    return log_lines(workdir / "jinstall.log")


def error_texts(workdir):
    return log_lines(workdir / "errors.log")


def host_java_version():
    """The host JVM's java.version, e.g. 17.0.15."""
    out = subprocess.run([str(HOST_JAVA), "-XshowSettings:properties", "-version"],
                         capture_output=True, text=True)
    return re.search(r"java\.version = (\S+)", out.stderr).group(1)


def host_jvm_home(wine, name="hostjdk"):
    """A JVM home C:\\jvms\\<name> whose bin\\javaw.exe and bin\\java.exe
    are the hostjava bridge to the host's real Java."""
    bindir = wine.drive_c / "jvms" / name / "bin"
    bindir.mkdir(parents=True)
    for program in ("javaw.exe", "java.exe"):
        (bindir / program).write_bytes(stub("hostjava").read_bytes())
    (bindir / "hostjava.ini").write_text(f"java={HOST_JAVA}\n")
    return bindir.parent


def registry_version(version):
    """The version subkey and micro version under which the registry lists
    a JVM that reports version: 17.0.15 gives 17.0 and 15."""
    base, _, micro = version.rpartition(".")
    if not base or "." not in base:
        return version, "0"
    return base, micro


def stub_jvm_at(wine, winhome, version, programs=("javaw.exe",), **settings):
    """A stub JVM (a StubJvm) whose home is the Windows path winhome on drive
    C, with each of programs in its bin; settings are further stubjvm.ini
    lines (hang=1, ...)."""
    jvm = StubJvm.__new__(StubJvm)
    jvm.wine = wine
    jvm.home = wine.unixpath(winhome)
    jvm.bindir = jvm.home / "bin"
    jvm.bindir.mkdir(parents=True)
    for program in programs:
        (jvm.bindir / program).write_bytes(stub("stubjvm").read_bytes())
    lines = [f"version={version}", "wizard=1"] + [f"{k}={v}" for k, v in settings.items()]
    (jvm.bindir / "stubjvm.ini").write_text("\n".join(lines) + "\n")
    return jvm


def wine_processes(wine, word):
    """The command lines of the running processes of the prefix of wine
    whose command line holds word."""
    import os
    found = []
    marker = b"WINEPREFIX=" + str(wine.prefix).encode() + b"\0"
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            environ = Path(f"/proc/{pid}/environ").read_bytes()
            cmdline = Path(f"/proc/{pid}/cmdline").read_bytes()
        except OSError:
            continue
        if marker in environ and word.encode() in cmdline:
            found.append(cmdline.replace(b"\0", b" ").decode("latin-1"))
    return found
