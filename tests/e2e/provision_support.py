"""Helpers for the scenarios in which the launcher installs a JVM (tests/stubs/stubjvmkit.cpp)."""
from conftest import stub
from launcher_support import StubJvm, control_text

JAVASOFT = "HKLM\\SOFTWARE\\JavaSoft"
SEPARATOR = "/*/*/*"

# The control-file lines every provisioning scenario shares: a 1.6 JRE is wanted, the package can
# install 1.6.0, the wizard runs on javaw.exe.
BUNDLE_CONTROL = dict(jvmMinVersion="1.6", jvmVersion="1.6.0", jvmName="JRE",
                      jvmCommandName="javaw.exe", jvmClasspathSwitch="-classpath",
                      loaderClasspath=".;install.jar", loaderJavaCommand="SampleWizard",
                      jvmInstallerType="selfExtratorJvmInstaller",
                      jvmSelfExtractor="jre-win.exe")
SETUP_CONTROL = dict(BUNDLE_CONTROL, jvmInstallerType="thirdPartyJvmInstaller",
                     jvmSelfExtractor="", jvmInstallerBinary="jvmsetup.exe")


def provision_control(base, **values):
    """A control file: the shared lines of base, changed and extended by values (a value of None
    drops the line)."""
    merged = dict(base)
    merged.update(values)
    return control_text(**{k: v for k, v in merged.items() if v is not None})


def stub_jvm_program(wine):
    """The stub JVM that the stand-ins install, C:\\stubs\\stubjvm.exe."""
    target = wine.drive_c / "stubs" / "stubjvm.exe"
    if not target.exists():
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(stub("stubjvm").read_bytes())
    return wine.winpath(target)


def compressed_jvm(wine, workdir, name="jre-win.exe", **settings):
    """Puts the stand-in compressed JVM into the work directory; settings go into its .ini (version,
    home, programs, msvcrt, files, ...)."""
    (workdir / name).write_bytes(stub("stubjvmkit").read_bytes())
    settings.setdefault("jvm", stub_jvm_program(wine))
    (workdir / name).with_suffix(".ini").write_text(control_text(**settings))


def drive_root(wine, directory, letter="r"):
    """Makes the empty directory (in the test's own temp tree, never a directory of the host) the
    root of drive <letter>: a link in the prefix's dosdevices."""
    directory.mkdir()
    (wine.prefix / "dosdevices" / (letter + ":")).symlink_to(directory)
    return directory


def expansion_dirs(workdir, name="jre-win.exe"):
    """The current directories of the compressed JVM's runs."""
    runs = (workdir / name).with_suffix(".runs")
    if not runs.exists():
        return []
    return [line[4:] for line in runs.read_text().splitlines() if line.startswith("CWD ")]


def jvm_setup(wine, workdir, name="jvmsetup.exe", **settings):
    """Puts the stand-in JVM installer program into the work directory with its configuration in
    C:\\stubs\\jvmsetup.ini (the program runs from the JVM directory, so the configuration is
    named on its command line)."""
    (workdir / name).write_bytes(stub("stubjvmkit").read_bytes())
    settings.setdefault("jvm", stub_jvm_program(wine))
    settings.setdefault("record", wine.winpath(wine.drive_c / "stubs" / "jvmsetup.runs"))
    config = wine.drive_c / "stubs" / "jvmsetup.ini"
    config.write_text(control_text(**settings))
    return SEPARATOR.join([name, "-config", wine.winpath(config)])


def setup_runs(wine):
    """The recorded runs of the JVM installer program: dicts with program, args and cwd."""
    path = wine.drive_c / "stubs" / "jvmsetup.runs"
    runs = []
    for line in (path.read_text().splitlines() if path.exists() else []):
        word, _, rest = line.partition(" ")
        if word == "PROGRAM":
            runs.append({"program": rest, "args": []})
        elif word == "ARG":
            runs[-1]["args"].append(rest)
        elif word == "CWD":
            runs[-1]["cwd"] = rest
    return runs


class JvmAt(StubJvm):
    """A stub JVM that the launcher installed: its home given as a Windows path inside the prefix."""

    def __init__(self, wine, winhome):
        self.wine = wine
        self.home = wine.unixpath(winhome)
        self.bindir = self.home / "bin"


def javasoft_values(wine, key):
    """The values of HKLM\\SOFTWARE\\JavaSoft\\<key> as a dict, or None when the key is missing."""
    text = wine.reg_query(JAVASOFT + "\\" + key)
    if text is None:
        return None
    values = {}
    for line in text.splitlines():
        parts = line.strip().split(None, 2)
        if line.startswith((" ", "\t")) and len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2] if len(parts) == 3 else ""
    return values


def subkeys(wine, key):
    """The names of the direct subkeys of HKLM\\SOFTWARE\\JavaSoft\\<key>."""
    text = wine.reg_query(JAVASOFT + "\\" + key) or ""
    prefix = ("HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\" + key + "\\").lower()
    return sorted(line.strip()[len(prefix):] for line in text.splitlines()
                  if line.strip().lower().startswith(prefix))


def properties_text(home, installed, in_temp=None, registry=True):
    """native.properties as the launcher writes it (CR LF line ends)."""
    lines = [f"nativeJvmHomeDir={home.replace(chr(92), '/')}",
             f"nativeJvmInstalled={'true' if installed else 'false'}"]
    if in_temp is not None:
        lines.append(f"nativeJvmInstalledInTemp={'true' if in_temp else 'false'}")
    lines.append(f"configureWinRegistry={'true' if registry else 'false'}")
    return "".join(line + "\r\n" for line in lines).encode()


def windows_dir(wine):
    return wine.drive_c / "windows"
