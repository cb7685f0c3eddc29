"""The stub JVM under Wine: the contract the launcher's tests rely on."""
from conftest import read_text, stub


def install_stub(wine, home, version, wizard=True):
    bindir = home / "bin"
    bindir.mkdir(parents=True)
    (bindir / "javaw.exe").write_bytes(stub("stubjvm").read_bytes())
    (bindir / "stubjvm.ini").write_text(f"version={version}\nwizard={1 if wizard else 0}\n")
    return bindir / "javaw.exe"


def runs(bindir):
    """The recorded runs: a list of dicts with kind, args, cwd and env."""
    result = []
    for line in read_text(bindir / "stubjvm.runs").splitlines():
        word, _, rest = line.partition(" ")
        if word == "RUN":
            result.append({"kind": rest, "args": [], "env": {}})
        elif word == "ARG":
            result[-1]["args"].append(rest)
        elif word == "CWD":
            result[-1]["cwd"] = rest
        elif word == "ENV":
            name, _, value = rest.partition("=")
            result[-1]["env"][name.upper()] = value
    return result


def test_test_run_writes_version_into_a_directory_with_blanks(wine, workdir):
    java = install_stub(wine, wine.drive_c / "jvm", "1.4.2_19")
    target = workdir / "with blank"
    target.mkdir()
    out = wine.run(java, "-cp", ".", "TestJvm", *wine.winpath(target).split(" "), cwd=workdir)
    assert out.returncode == 0
    assert read_text(target / "jvmGood.txt").splitlines()[0] == "java version 1.4.2_19"
    [run] = runs(java.parent)
    assert run["kind"] == "test"
    assert run["args"] == ["-cp", ".", "TestJvm", "C:\\work\\with", "blank"]


def test_wizard_run_records_arguments_and_environment(wine, workdir):
    java = install_stub(wine, wine.drive_c / "jvm", "1.6.0_31")
    out = wine.run(java, "-cp", "install.jar", "run", "-q", "a b", cwd=workdir,
                   env={"KIV_PROBE": "yes"})
    assert out.returncode == 0
    assert (workdir / "__kivwizard.sem").exists()
    [run] = runs(java.parent)
    assert run["kind"] == "wizard"
    assert run["args"] == ["-cp", "install.jar", "run", "-q", "a b"]
    assert run["cwd"].lower() == "c:\\work"
    assert run["env"]["KIV_PROBE"] == "yes"


def test_wizard_marker_can_be_omitted(wine, workdir):
    java = install_stub(wine, wine.drive_c / "jvm", "1.6.0", wizard=False)
    wine.run(java, "-cp", "install.jar", "run", cwd=workdir)
    assert not (workdir / "__kivwizard.sem").exists()
