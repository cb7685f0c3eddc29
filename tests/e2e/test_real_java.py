"""The launcher and the package's test class on the host's real Java: the JDK is registered in the
prefix with the hostjava bridge as its bin\\javaw.exe, the test class proves it, and the sample
wizard (install.jar) runs on it and reports what it got."""
import pytest

from conftest import read_text, wait_for
from launcher_support import (HOST_JAVA, JDK_KEY, TEST_CLASS, control_text, host_java_version,
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
    jar = wine.drive_c / "wizard dir" / "install.jar"
    jar.parent.mkdir()
    jar.write_bytes((workdir / "install.jar").read_bytes())

    assert run_launcher(wine, workdir, "-q", "C:\\My Dir\\answers.txt",
                        env={"CLASSPATH": "C:\\stale"}, timeout=300) == 0
    # Two blanks in a row give an empty word, which the command line drops.
    assert read_text(workdir / "wizard-received.txt").splitlines() == [
        "ARG a", "ARG b", "ARG -q", "ARG C:\\My Dir\\answers.txt",
        "PROPERTY configureWinRegistry=true", "PROPERTY nativeJvmHomeDir=C:/jvms/hostjdk",
        "PROPERTY nativeJvmInstalled=false", "PROPERTY nativeJvmInstalledInTemp=false",
        "CLASSPATH unset",
    ], read_text(home / "bin" / "hostjava.out")
    texts = trace_texts(workdir)
    assert f"jvm version {version}" in texts
    assert "Found correct version of JVM: C:\\jvms\\hostjdk\\bin\\javaw.exe" in texts
    assert "Java wizard launched successfully" in texts
    assert not (workdir / "__kivwizard.sem").exists()


def test_test_class_writes_to_the_directory_named_in_words_or_else_the_current_one(
        wine, workdir, tmp_path):
    # The launcher passes the directory unquoted: it arrives in words, which are joined with single
    # blanks, so "with two blanks" cannot be rebuilt and the results go to the current directory.
    program = wine.drive_c / "hostjvm" / "bin" / "javaw.exe"  # cmd below runs it unquoted
    program.parent.mkdir(parents=True)
    program.write_text(f'#!/bin/sh\nexec "{HOST_JAVA}" "$@"\n')
    program.chmod(0o755)
    (workdir / "TestJvm.class").write_bytes(TEST_CLASS.read_bytes())
    two, one, outside = workdir / "with  two blanks", workdir / "with blank", tmp_path / "out side"
    for directory in (two, one, outside):
        directory.mkdir()
    version = host_java_version()
    for named, results in ((two, workdir), (one, one), (outside, outside),
                           (wine.drive_c / "no" / "such dir", workdir)):
        (results / "jvmGood.txt").unlink(missing_ok=True)
        command = [wine.winpath(program), "-cp", ".", "TestJvm", wine.winpath(named)]
        out = wine.run("cmd", "/c", " ".join(command), cwd=workdir)
        assert out.returncode == 0, out.stdout + out.stderr
        path = results / "jvmGood.txt"
        assert wait_for(lambda: read_text(path).endswith("\n"), timeout=30), path
        assert read_text(path).splitlines()[0] == f'java version "{version}"'
