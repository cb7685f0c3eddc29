"""The launcher and the package's test class on the host's real Java: the JDK, registered with the
hostjava bridge as its javaw.exe, is proved by the test class and runs the sample wizard, in a work
directory and a JVM home named in scripts the legacy code page cannot spell; the wizard is told the
home the JVM reports (its jre directory, as a Java 8 JDK's JVM does). The bridge passes on the
JVM's own words: its -version answer on standard error, a wrong main class in errors.log."""
import pytest

from conftest import read_text, wait_for
from launcher_support import (HOST_JAVA, TEST_CLASS, control_text, error_texts, host_jdk, layout,
                              put, run_launcher, trace_texts)

pytestmark = pytest.mark.skipif(not HOST_JAVA.exists(), reason="no host Java")


def test_sample_wizard_test_class_and_a_wrong_main_class_on_the_registered_host_jdk(wine, tmp_path):
    # The wizard reads the JVM home from native.properties, which Java reads as ISO-8859-1.
    language = wine.env.get("LC_ALL")
    wine.env["LC_ALL"] = "de_DE.UTF-8"  # a Western system: Windows-1252
    workdir = wine.drive_c / "Установка 安装"
    workdir.mkdir()
    home, version, subkey = host_jdk(wine, "Ява 爪哇")
    # The class-path element with a blank is quoted by the launcher and arrives whole; the bridge
    # turns it into the jar's Unix path.
    layout(wine, workdir, control_text(
        jvmRequiredVersion=subkey, jvmCommandName="javaw.exe", jvmClasspathSwitch="-cp",
        loaderClasspath="C:\\wizard dir\\install.jar", loaderJavaCommand="SampleWizard a  b"))
    put(wine.drive_c, {"wizard dir/install.jar": (workdir / "install.jar").read_bytes()})

    assert run_launcher(wine, workdir, "-q", "C:\\My Dir\\answers.txt",
                        env={"CLASSPATH": "C:\\stale"}, timeout=300) == 0
    # Two blanks in a row give an empty word, which the command line drops.
    assert (workdir / "wizard-received.txt").read_text("utf-8").splitlines() == [
        "ARG a", "ARG b", "ARG -q", "ARG C:\\My Dir\\answers.txt",
        "PROPERTY configureWinRegistry=true", "PROPERTY nativeJvmHomeDir=C:/jvms/Ява 爪哇/jre",
        "PROPERTY nativeJvmInstalled=false", "PROPERTY nativeJvmInstalledInTemp=false",
        "CLASSPATH unset",
    ], read_text(home / "bin" / "hostjava.out")
    assert {f"jvm version {version}", "Java wizard launched successfully"} <= set(
        trace_texts(workdir))

    # The test class on its own. The launcher passes the directory unquoted: it arrives in words,
    # which are joined with single blanks, so "with two blanks" cannot be rebuilt and the results
    # go to the current directory.
    (workdir / "TestJvm.class").write_bytes(TEST_CLASS.read_bytes())
    two, one, outside = workdir / "with  two blanks", workdir / "with blank", tmp_path / "out side"
    for directory in (two, one, outside):
        directory.mkdir()
    for named, results in ((two, workdir), (one, one), (outside, outside),
                           (wine.drive_c / "no" / "such dir", workdir)):
        (results / "jvmGood.txt").unlink(missing_ok=True)
        words = wine.winpath(named).split()
        assert wine.run(home / "bin" / "javaw.exe", "-cp", ".", "TestJvm", *words,
                        cwd=workdir).returncode == 0
        path = results / "jvmGood.txt"
        assert wait_for(lambda: read_text(path).count("\n") == 2, timeout=120), path
        assert path.read_bytes().decode("utf-8").splitlines() == [
            f'java version "{version}"', "java.home=C:\\jvms\\Ява 爪哇\\jre"]

    # docs/make-your-own-package.md's troubleshooting: the JVM's own words reach its caller, and a
    # misspelt main class is named in errors.log by the JVM itself. Regression: the bridge kept the
    # JVM's standard error to itself. The user texts are the English ones.
    wine.env.pop("LC_ALL")
    wine.env.update({"LC_ALL": language} if language else {})
    answer = wine.run(home / "bin" / "java.exe", "-version", cwd=workdir, timeout=120)
    assert answer.returncode == 0 and f'version "{version}' in answer.stderr.decode(), answer
    assert b"version" not in answer.stdout
    layout(wine, workdir, control_text(
        jvmRequiredVersion=subkey, jvmCommandName="javaw.exe", jvmClasspathSwitch="-classpath",
        loaderClasspath=".;install.jar", loaderJavaCommand="Wizzard", reportFailureByExitCode="true"))
    assert run_launcher(wine, workdir, "-q", "x", timeout=300) == 3  # the wizard failed
    errors = error_texts(workdir)
    assert {"the wizard's JVM ended with exit code 1", "The main class Wizzard of the install "
            "wizard was not found.", "wizard's JVM: Error: Could not find or load main class "
            "Wizzard"} <= set(errors), errors
