"""The package's test class TestJvm.class on the host's real Java, started by Wine from a JVM home
inside the prefix."""
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


def test_results_go_to_the_directory_named_in_words_or_else_the_work_directory(
        wine, workdir, tmp_path):
    # The launcher passes the directory unquoted: it arrives in words, which are joined with single
    # blanks, so "with two blanks" cannot be rebuilt and the results go to the current directory
    # instead.
    two, one, outside = workdir / "with  two blanks", workdir / "with blank", tmp_path / "out side"
    for directory in (two, one, outside):
        directory.mkdir()
    for named, results in ((wine.winpath(two), workdir), (wine.winpath(one), one),
                           ("Z:" + str(outside).replace("/", "\\"), outside),
                           ("C:\\no\\such dir", workdir)):
        (results / "jvmGood.txt").unlink(missing_ok=True)
        run_test_class(wine, workdir, *named.split(" "))
        check_version_line(results_in(results))
