"""The launcher on the host's real Java: the JDK is registered in the prefix with the hostjava
bridge as its bin\\javaw.exe, the test class proves it, and the sample wizard (install.jar) runs
on it and reports what it got."""
import pytest

from conftest import read_text
from launcher_support import (HOST_JAVA, JDK_KEY, control_text, host_java_version,
                              host_jvm_home, layout, register, registry_version, run_launcher,
                              trace_texts)

pytestmark = pytest.mark.skipif(not HOST_JAVA.exists(), reason="no host Java")


def test_sample_wizard_runs_on_the_registered_host_jdk(wine, workdir):
    version = host_java_version()
    subkey, micro = registry_version(version)
    home = host_jvm_home(wine)
    register(wine, [(JDK_KEY, subkey, micro, wine.winpath(home))])
    # The class-path element with a blank is quoted by the launcher and arrives whole; the bridge
    # turns it into the jar's Unix path.
    layout(wine, workdir, control_text(
        jvmRequiredVersion=subkey, jvmCommandName="javaw.exe", jvmClasspathSwitch="-cp",
        loaderClasspath="C:\\wizard dir\\install.jar", loaderJavaCommand="SampleWizard a  b"))
    jars = wine.drive_c / "wizard dir"
    jars.mkdir()
    (jars / "install.jar").write_bytes((workdir / "install.jar").read_bytes())

    code = run_launcher(wine, workdir, "-q", "C:\\My Dir\\answers.txt",
                        env={"CLASSPATH": "C:\\stale"}, timeout=300)

    assert code == 0
    # Two blanks in a row give an empty word, which the command line drops.
    assert read_text(workdir / "wizard-received.txt").splitlines() == [
        "ARG a",
        "ARG b",
        "ARG -q",
        "ARG C:\\My Dir\\answers.txt",
        "PROPERTY configureWinRegistry=true",
        "PROPERTY nativeJvmHomeDir=C:/jvms/hostjdk",
        "PROPERTY nativeJvmInstalled=false",
        "PROPERTY nativeJvmInstalledInTemp=false",
        "CLASSPATH unset",
    ], read_text(home / "bin" / "hostjava.out")
    texts = trace_texts(workdir)
    assert f"jvm version {version}" in texts
    assert "Found correct version of JVM: C:\\jvms\\hostjdk\\bin\\javaw.exe" in texts
    assert "Java wizard launched successfully" in texts
    assert not (workdir / "__kivwizard.sem").exists()
