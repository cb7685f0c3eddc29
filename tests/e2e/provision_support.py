"""Helpers for the scenarios in which the launcher installs a JVM (tests/stubs/stubjvmkit.cpp
stands in for the package's compressed JVM and for its JVM installer program)."""
from conftest import read_text, stub
from launcher_support import JvmAt, control_text  # noqa: F401 (JvmAt: imported from here)

# A 1.6 JRE is wanted, the package can install 1.6.0, the wizard runs on javaw.exe.
BUNDLE_CONTROL = dict(jvmMinVersion="1.6", jvmVersion="1.6.0", jvmName="JRE",
                      jvmCommandName="javaw.exe", jvmClasspathSwitch="-classpath",
                      loaderClasspath=".;install.jar", loaderJavaCommand="SampleWizard",
                      jvmInstallerType="selfExtratorJvmInstaller",
                      jvmSelfExtractor="jre-win.exe")


def provision_control(base, **values):
    """The lines of base, changed and extended by values (a value of None drops the line)."""
    merged = dict(base, **values)
    return control_text(**{k: v for k, v in merged.items() if v is not None})


def compressed_jvm(wine, workdir, name="jre-win.exe", **settings):
    """Puts the stand-in into the work directory, its settings (version, home, programs, msvcrt,
    files, ...) in its .ini."""
    (workdir / name).write_bytes(stub("stubjvmkit").read_bytes())
    settings = dict(jvm=wine.winpath(stub("stubjvm")), **settings)
    (workdir / name).with_suffix(".ini").write_text(control_text(**settings))


def expansion_dirs(directory, name="jre-win.exe"):
    runs = read_text((directory / name).with_suffix(".runs")).splitlines()
    return [line[4:] for line in runs if line.startswith("CWD ")]


def javasoft(wine):
    """HKLM\\SOFTWARE\\JavaSoft's subkeys and their values: {key below JavaSoft: {name: data}}."""
    tree, values, prefix = {}, {}, "HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\"
    listing = wine.run("reg", "query", prefix[:-1], "/s").stdout.decode("latin-1")
    for line in listing.splitlines():
        if line.startswith(prefix):
            values = tree.setdefault(line.strip()[len(prefix):], {})
        elif line.strip():
            name, kind, *data = line.split(None, 2)
            values[name] = data[0].strip() if data else ""
    return tree


def properties_text(home, installed, in_temp=None, registry=True):
    lines = [f"nativeJvmHomeDir={home.replace(chr(92), '/')}",
             f"nativeJvmInstalled={'true' if installed else 'false'}"]
    if in_temp is not None:
        lines.append(f"nativeJvmInstalledInTemp={'true' if in_temp else 'false'}")
    lines.append(f"configureWinRegistry={'true' if registry else 'false'}")
    return "".join(line + "\r\n" for line in lines).encode()
