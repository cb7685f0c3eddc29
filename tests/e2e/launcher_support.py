"""Helpers for the launcher's end-to-end scenarios: lay out a work directory, put stub JVMs or the
bridge to the host's Java into the prefix and register them, run the launcher, read the logs;
the stand-in for a package's compressed JVM and JVM installer (tests/stubs/stubjvmkit.cpp)."""
import re
import shutil
import struct
import subprocess
from pathlib import Path

from conftest import BUILD, INSTALLER, REGIMPORT, SOURCE, log_lines, read_text, stub, wait_for

HOST_JAVA = Path("/usr/lib/jvm/default-java/bin/java")
TEST_CLASS = BUILD / "java" / "TestJvm.class"
CLEANUP = stub("cleanupstub").read_bytes()  # the stand-in clean-up program

JRE_KEY = "Java Runtime Environment"
JDK_KEY = "Java Development Kit"
PLUGIN_KEY = "Java Plug-in"
WIZARD_CONTROL = dict(jvmCommandName="javaw.exe", jvmClasspathSwitch="-classpath",
                      loaderJavaCommand="SampleWizard")


def pe_bits(path):
    data = Path(path).read_bytes()
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    return 64 if struct.unpack_from("<H", data, offset + 4)[0] in (0x8664, 0xAA64) else 32


def set_pe_machine(path, machine):
    """Makes the program at path one for another processor (0xAA64: ARM64)."""
    data = bytearray(Path(path).read_bytes())
    struct.pack_into("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4, machine)
    Path(path).write_bytes(data)


def programs_dir(bits):
    """Where programs of that bitness go on 64-bit Windows (the prefix is a 64-bit one)."""
    return "C:\\Program Files" if bits == 64 else "C:\\Program Files (x86)"


# The stub JVM of the build under test, and that of the other build (None when not built).
JVM_BITS = pe_bits(stub("stubjvm"))
OTHER_STUBS = SOURCE / "build" / ("win32" if JVM_BITS == 64 else "win64") / "stubs"
OTHER_STUBS = OTHER_STUBS if (OTHER_STUBS / "stubjvm.exe").exists() else None
# A 1.6 JRE is wanted, the package can install 1.6.0, the wizard runs on javaw.exe.
BUNDLE_CONTROL = dict(WIZARD_CONTROL, jvmMinVersion="1.6", jvmVersion="1.6.0", jvmName="JRE",
                      loaderClasspath=".;install.jar", jvmSelfExtractor="jre-win.exe",
                      jvmInstallerType="selfExtratorJvmInstaller")


def layout(wine, workdir, control, trace=True):
    # An empty jinstall.log is the user's switch that turns the trace on (and keeps it).
    (workdir / "installer.exe").write_bytes(INSTALLER.read_bytes())
    (workdir / "kiv.control").write_bytes(control.encode("latin-1"))
    (workdir / "TestJvm.class").write_bytes(TEST_CLASS.read_bytes())
    (workdir / "install.jar").write_bytes((BUILD / "java" / "install.jar").read_bytes())
    if trace:
        (workdir / "jinstall.log").write_bytes(b"")


def put(root, files):
    for name, data in files.items():
        (root / name).parent.mkdir(parents=True, exist_ok=True)
        (root / name).write_bytes(data)


def control_text(**values):
    return "".join(f"{key}={value}\n" for key, value in values.items())


class JvmAt:
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
        return (self.bindir / "stubjvm.properties").read_bytes()


class StubJvm(JvmAt):
    """A stub JVM in C:\\jvms\\<name> (or the Windows path name); settings go to its .ini."""
    def __init__(self, wine, name, version, wizard=True, **settings):
        super().__init__(wine, name if ":" in name else "C:\\jvms\\" + name)
        self.bindir.mkdir(parents=True)
        (self.bindir / "javaw.exe").write_bytes(stub("stubjvm").read_bytes())
        (self.bindir / "stubjvm.ini").write_text(
            control_text(version=version, wizard=int(wizard), **settings))


def register(wine, entries, bits=64):
    """Registers JVMs: entries of (product key, version subkey, micro version, Windows home), in
    the registry view of programs of that bitness."""
    text = ""
    for product, version, micro, home in entries:
        home = home.replace("\\", "\\\\")
        text += (f"[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\{product}\\{version}]\n"
                 f'"MicroVersion"="{micro}"\n"JavaHome"="{home}"\n')
    wine.reg_import(text, bits)


def run_launcher(wine, workdir, *args, env=None, timeout=120, program=None):
    # Nothing a run leaves may go where every user of the machine can write.
    public = lambda: set((wine.drive_c / "users" / "Public").rglob("*"))
    before = public()
    if hasattr(wine, "give"):
        wine.give(workdir)
    out = wine.run(program or workdir / "installer.exe", *args, cwd=workdir, env=env,
                   timeout=timeout)
    if out.returncode:  # what Wine said, for a failure's report
        print(f"exit code {out.returncode}:", out.stderr.decode("latin-1")[-4000:])
    assert public() == before, "written below C:\\users\\Public"
    return out.returncode


def run_quiet(wine, workdir, start=None):
    """A run of installer.exe -q x in workdir; without a control file, one that fails at once."""
    if not (workdir / "kiv.control").exists():
        (workdir / "kiv.control").write_bytes(b"searchForJvm=none\n")
    if start is not None:
        (workdir / "startdir.txt").write_bytes(start.encode("latin-1") + b"\r\n")
    assert run_launcher(wine, workdir, "-q", "x", timeout=120, program=INSTALLER) == 0


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


def host_jdk(wine, name="hostjdk"):
    """The host's Java behind the hostjava bridge, registered as a JDK: (home, version, subkey).
    It is laid out as a Java 8 JDK: the JVM that runs is a copy of the host's Java (jlink) in the
    JDK's jre directory, the home that JVM reports, with the bridge in its bin too."""
    out = subprocess.run([str(HOST_JAVA), "-XshowSettings:properties", "-version"],
                         capture_output=True, text=True)
    version = re.search(r"java\.version = (\S+)", out.stderr).group(1)
    # 17.0.15 is registered as 17.0 with micro version 15.
    base, _, micro = version.rpartition(".")
    subkey, micro = (base, micro) if "." in base else (version, "0")
    home = wine.drive_c / "jvms" / name
    image = wine.prefix.parent / "jre-image"  # a plain name for jlink, whatever the locale
    subprocess.run([str(HOST_JAVA.parent / "jlink"), "--add-modules", "java.base",
                    "--no-header-files", "--no-man-pages", "--output", str(image)], check=True)
    home.mkdir(parents=True)
    shutil.move(image, home / "jre")
    java = home / "jre" / "bin" / "java"
    for bindir in (home / "bin", home / "jre" / "bin"):
        bindir.mkdir(exist_ok=True)
        for program in ("javaw.exe", "java.exe"):
            (bindir / program).write_bytes(stub("hostjava").read_bytes())
        (bindir / "hostjava.ini").write_text(f"java={java}\n", encoding="utf-8")
    register(wine, [(JDK_KEY, subkey, micro, wine.winpath(home))])
    return home, version, subkey


def bundle_control(**values):
    merged = dict(BUNDLE_CONTROL, **values)
    return control_text(**{key: value for key, value in merged.items() if value is not None})


def compressed_jvm(wine, workdir, name="jre-win.exe", stubs=None, **settings):
    """Puts the stand-in into the work directory, its settings (jvm, version, home, programs,
    msvcrt, files, ...) in its .ini; stubs: the directory of another build's stub programs."""
    stubs = stubs or stub("stubjvm").parent
    (workdir / name).write_bytes((stubs / "stubjvmkit.exe").read_bytes())
    settings = {"jvm": wine.winpath(wine.local(stubs / "stubjvm.exe")), **settings}
    (workdir / name).with_suffix(".ini").write_text(control_text(**settings))


def expansion_dirs(directory):
    """Where each run of the compressed JVM expanded it: a stage (staged(folder)) beside the folder
    it was bound for."""
    runs = read_text(directory / "jre-win.runs").splitlines()
    return [re.sub(r"\\~kivstage-[0-9]+-[0-9]+$", r"\\~kivstage", line[4:]) for line in runs
            if line.startswith("CWD ")]


def staged(folder):
    """The stage of a JVM bound for folder, as expansion_dirs names it."""
    return folder.rpartition("\\")[0] + "\\~kivstage"


def javasoft(wine, bits=JVM_BITS, hive="HKEY_LOCAL_MACHINE"):
    """SOFTWARE\\JavaSoft's subkeys in the hive and their values in the registry view of programs
    of that bitness (by default, the stub JVM's): {key below JavaSoft: {name: data}}."""
    tree, values, prefix = {}, {}, hive + "\\SOFTWARE\\JavaSoft\\"
    out = wine.run(REGIMPORT, "/query", f"/reg:{bits}", prefix[:-1], timeout=60)
    assert out.returncode == 0, out.stderr.decode("latin-1")
    listing = out.stdout.decode("utf-8")
    for line in listing.splitlines():
        if line and not line[0].isspace():  # a key, JavaSoft's own values not kept
            values = tree.setdefault(line[len(prefix):], {}) if line.startswith(prefix) else {}
        elif line.strip():
            name, kind, *data = line.split(None, 2)
            values[name] = data[0].strip() if data else ""
    return tree


def registry(home, version):
    """The keys of a new JVM below SOFTWARE\\JavaSoft: a 1.x one under its base version and in
    full, with its micro version; today's form under the whole version."""
    base, _, micro = version.rpartition(".")
    if base != "1.6":
        return {"JRE": {"CurrentVersion": version}, "JRE\\" + version: {"JavaHome": home.lower()}}
    registered = {"JavaHome": home.lower(), "MicroVersion": micro}
    return {JRE_KEY: {"CurrentVersion": base}, f"{JRE_KEY}\\{base}": registered,
            f"{JRE_KEY}\\{version}": registered}


def properties_text(home, installed, in_temp=None, registry=True):
    lines = [f"nativeJvmHomeDir={home.replace(chr(92), '/')}",
             f"nativeJvmInstalled={'true' if installed else 'false'}"]
    if in_temp is not None:
        lines.append(f"nativeJvmInstalledInTemp={'true' if in_temp else 'false'}")
    lines.append(f"configureWinRegistry={'true' if registry else 'false'}")
    return "".join(line + "\r\n" for line in lines).encode()
