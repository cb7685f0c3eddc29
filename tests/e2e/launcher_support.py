"""Helpers for the launcher's end-to-end scenarios: lay out a work directory, put stub JVMs or the
bridge to the host's Java into the prefix and register them, run the launcher, read the logs."""
import re
import subprocess
from pathlib import Path

from conftest import BUILD, installer, log_lines, read_text, stub, wait_for

HOST_JAVA = Path("/usr/lib/jvm/default-java/bin/java")
TEST_CLASS = BUILD / "java" / "TestJvm.class"

JRE_KEY = "Java Runtime Environment"
JDK_KEY = "Java Development Kit"
PLUGIN_KEY = "Java Plug-in"


def layout(wine, workdir, control, trace=True):
    # An empty jinstall.log is the user's switch that turns the trace on (and keeps it).
    (workdir / "installer.exe").write_bytes(installer().read_bytes())
    (workdir / "kiv.control").write_bytes(control.encode("latin-1"))
    (workdir / "TestJvm.class").write_bytes(TEST_CLASS.read_bytes())
    (workdir / "install.jar").write_bytes((BUILD / "java" / "install.jar").read_bytes())
    if trace:
        (workdir / "jinstall.log").write_bytes(b"")


def control_text(**values):
    return "".join(f"{key}={value}\n" for key, value in values.items())


class JvmAt:
    """A JVM home inside the prefix, given as its Windows path, and what a stub JVM there did."""
    def __init__(self, wine, winhome):
        self.winhome, self.home = winhome, wine.unixpath(winhome)
        self.bindir = self.home / "bin"

    def runs(self):
        result = []
        for line in read_text(self.bindir / "stubjvm.runs").splitlines():
            word, _, rest = line.partition(" ")
            if word == "RUN":
                result.append({"kind": rest, "args": [], "env": {}})
            elif word == "ARG":
                result[-1]["args"].append(rest)
            elif word == "ENV":
                name, _, value = rest.partition("=")
                result[-1]["env"][name.upper()] = value
            elif word in ("PROGRAM", "CWD"):
                result[-1][word.lower()] = rest
        return result

    def kinds(self):
        return [run["kind"] for run in self.runs()]

    def wizard_runs(self):
        return [run for run in self.runs() if run["kind"] == "wizard"]

    def properties(self):
        path = self.bindir / "stubjvm.properties"
        return path.read_bytes() if path.exists() else None


class StubJvm(JvmAt):
    """A stub JVM in C:\\jvms\\<name> (or the Windows path name); settings go to its .ini."""
    def __init__(self, wine, name, version, wizard=True, **settings):
        super().__init__(wine, name if ":" in name else "C:\\jvms\\" + name)
        self.bindir.mkdir(parents=True)
        (self.bindir / "javaw.exe").write_bytes(stub("stubjvm").read_bytes())
        (self.bindir / "stubjvm.ini").write_text(
            control_text(version=version, wizard=int(wizard), **settings))


def register(wine, entries):
    """Registers JVMs: entries of (product key, version subkey, micro version, Windows home)."""
    text = ""
    for product, version, micro, home in entries:
        home = home.replace("\\", "\\\\")
        text += (f"[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\{product}\\{version}]\n"
                 f'"MicroVersion"="{micro}"\n"JavaHome"="{home}"\n')
    wine.reg_import(text)


def run_launcher(wine, workdir, *args, env=None, timeout=120):
    out = wine.run(workdir / "installer.exe", *args, cwd=workdir, env=env, timeout=timeout)
    return out.returncode


def run_quiet(wine, workdir, *args, start=None):
    """One quiet run of the built installer.exe in workdir (default "-q x"). Without a control
    file there, one that turns the search off: the run fails at once, quietly."""
    if not (workdir / "kiv.control").exists():
        (workdir / "kiv.control").write_bytes(b"searchForJvm=none\n")
    if start is not None:
        (workdir / "startdir.txt").write_bytes(start.encode("latin-1") + b"\r\n")
    assert wine.run(installer(), *(args or ("-q", "x")), cwd=workdir, timeout=20).returncode == 0


def install_cleanup_stub(work):
    (work / "cleanup.exe").write_bytes(stub("cleanupstub").read_bytes())


def cleanup_runs(work, seconds=10):
    """What the stand-in clean-up program received ("RUN", "ARG <text>"), once it has run."""
    path = work / "cleanupstub.runs"
    runs = lambda: path.read_bytes().decode("utf-8").splitlines() if path.exists() else []
    wait_for(lambda: len(runs()) >= 2, seconds)
    return runs()


def trace_texts(workdir):
    return log_lines(workdir / "jinstall.log")


def error_texts(workdir):
    return log_lines(workdir / "errors.log")


def host_java_version():
    out = subprocess.run([str(HOST_JAVA), "-XshowSettings:properties", "-version"],
                         capture_output=True, text=True)
    return re.search(r"java\.version = (\S+)", out.stderr).group(1)


def host_jvm_home(wine, name="hostjdk"):
    bindir = wine.drive_c / "jvms" / name / "bin"
    bindir.mkdir(parents=True)
    for program in ("javaw.exe", "java.exe"):
        (bindir / program).write_bytes(stub("hostjava").read_bytes())
    (bindir / "hostjava.ini").write_text(f"java={HOST_JAVA}\n")
    return bindir.parent


def registry_version(version):
    """The registry's version subkey and micro version for a version: 17.0.15 gives 17.0, 15."""
    base, _, micro = version.rpartition(".")
    return (base, micro) if "." in base else (version, "0")

