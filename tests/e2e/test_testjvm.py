"""The package's test class TestJvm.class on the host's real Java, started by
Wine from a JVM home inside the prefix.

The JVM home's bin\\javaw.exe is a small executable shell script that hands
over to the host's java. It is deliberately no symbolic link: Wine deletes
the target of a symbolic link, not the link, so any clean-up of the home by
a Windows program would destroy the host's Java. Wine does not wait for a
Linux program it starts, so the results file is waited for.
"""
import pytest

from conftest import read_text, wait_for
from launcher_support import HOST_JAVA, TEST_CLASS, host_java_version

pytestmark = pytest.mark.skipif(not HOST_JAVA.exists(), reason="no host Java")


def script_jvm(wine):
    home = wine.drive_c / "hostjvm"  # cmd below runs it unquoted
    program = home / "bin" / "javaw.exe"
    program.parent.mkdir(parents=True, exist_ok=True)
    program.write_text(f'#!/bin/sh\nexec "{HOST_JAVA}" "$@"\n')
    program.chmod(0o755)
    return program


def run_test_class(wine, workdir, *words):
    """Runs "javaw.exe -cp . TestJvm <words>" in the work directory."""
    (workdir / "TestJvm.class").write_bytes(TEST_CLASS.read_bytes())
    program = script_jvm(wine)
    command = " ".join([wine.winpath(program), "-cp", ".", "TestJvm", *words])
    out = wine.run("cmd", "/c", command, cwd=workdir)
    assert out.returncode == 0, out.stdout + out.stderr


def results_in(directory):
    path = directory / "jvmGood.txt"
    assert wait_for(lambda: read_text(path).endswith("\n"), timeout=30), path
    return read_text(path).splitlines()[0]


def check_version_line(line):
    # The version and nothing else with a digit on the line.
    version = host_java_version()
    assert line == f'java version "{version}"'
    digits = [i for i, c in enumerate(line) if c.isdigit()]
    assert line[digits[0]:digits[-1] + 1] == version


def test_results_go_into_a_work_directory_with_blanks(wine, workdir):
    # The launcher passes the directory unquoted: it arrives in words.
    target = workdir / "with  two blanks"
    target.mkdir()
    run_test_class(wine, workdir, *wine.winpath(target).split(" "))
    # Words are joined with single blanks: "with  two" cannot be rebuilt,
    # so the results go to the current directory instead.
    check_version_line(results_in(workdir))

    target = workdir / "with blank"
    target.mkdir()
    run_test_class(wine, workdir, *wine.winpath(target).split(" "))
    check_version_line(results_in(target))


def test_drive_z_path_names_the_unix_directory(wine, workdir, tmp_path):
    target = tmp_path / "out side"
    target.mkdir()
    run_test_class(wine, workdir, *("Z:" + str(target).replace("/", "\\")).split(" "))
    check_version_line(results_in(target))


def test_unknown_directory_falls_back_to_the_work_directory(wine, workdir):
    run_test_class(wine, workdir, "C:\\no\\such", "dir")
    check_version_line(results_in(workdir))
