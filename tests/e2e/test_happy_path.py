"""The happy path: the launcher finds a registered JVM, proves it with the test class, writes
native.properties, starts the wizard on it and waits for it."""
import pytest

from conftest import INSTALLER, stub
from launcher_support import (JDK_KEY, JRE_KEY, PLUGIN_KEY, WIZARD_CONTROL, StubJvm, control_text,
                              error_texts, layout, properties_text, register, run_launcher,
                              trace_texts)

CONTROL = dict(WIZARD_CONTROL, jvmMinVersion="1.4", jvmMaxVersion="1.5")


def test_greatest_acceptable_version_found_key_after_key_runs_the_wizard(wine, workdir):
    table = [(JRE_KEY, "jre131", "1.3.1_20"), (JRE_KEY, "jre160", "1.6.0_31"),
             (JDK_KEY, "jdk142", "1.4.2_19"), (JDK_KEY, "jdk150", "1.5.0_22"),
             (PLUGIN_KEY, "plugin150", "1.5.0_22")]
    jvms = {name: StubJvm(wine, name, version) for _, name, version in table}
    register(wine, [(key, version, "0", jvms[name].winhome) for key, name, version in table])
    # Regressions: a Ctrl-Z in a comment ended the text-mode read of the control file and its
    # rewrite cut it there; CR-only line ends folded it into one line; a byte-order mark hid the
    # first key. It is never rewritten.
    control = "# made with an old editor \x1a still a comment\r\n" + control_text(**dict(
        CONTROL, jvmExtraParameters="-Xmx256m -Dx=1", jvmClasspathSwitch="-cp",
        loaderClasspath=".;C:\\My Dir\\x.jar;C:\\My Dir\\classes\\;install.jar;",
        loaderJavaCommand="Install arg")).replace("\n", "\r\n")
    layout(wine, workdir, control)
    wine.env.update(CLASSPATH="C:\\stale;C:\\old.jar", KIV_PROBE="yes")

    # Typed as: installer.exe -s "C:\Target Dir\" (the probe passes the command line as it is).
    command = f'"{wine.winpath(INSTALLER)}" -s "C:\\Target Dir\\"'
    assert wine.run(stub("winprobe"), "run", cwd=workdir, timeout=120,
                    env={"WINPROBE_COMMAND": command}).returncode == 0

    assert (workdir / "kiv.control").read_bytes() == control.encode("latin-1")
    # Regression: a quoted argument ending in a backslash put "\"" before the closing quote, which
    # the child reads as an escaped quote: the rest of the list ran into one argument.
    test, wizard = jvms["jdk150"].runs()
    assert wizard["program"] == "javaw.exe"
    assert wizard["args"] == ["-Xmx256m", "-Dx=1", "-cp",
                              ".;C:\\My Dir\\x.jar;C:\\My Dir\\classes\\;install.jar",
                              "Install", "arg", "-s", "C:\\Target Dir\\"]
    assert wizard["cwd"].lower() == "c:\\work"
    # The launcher's environment reaches the wizard, all but CLASSPATH.
    assert wizard["env"]["KIV_PROBE"] == "yes" and "CLASSPATH" not in wizard["env"] | test["env"]
    assert jvms["jdk150"].properties() == properties_text("C:\\jvms\\jdk150", False, in_temp=False)
    assert error_texts(workdir) == [] and not (workdir / "__kivwizard.sem").exists()

    # Regression: a quiet start with an empty argument (-q "") started the wizard without -q.
    # A control file saved as "Unicode" (PowerShell 5's ">": UTF-16 with a byte-order mark) is
    # read as UTF-16.
    plugin = control_text(jvmName="Java Plug-in", **CONTROL).replace("\n", "\r\n")
    runs = [(control_text(jvmName="jAVA pLUG-iN", **CONTROL).replace("\n", "\r").encode(), "x"),
            (b"\xef\xbb\xbf" + control_text(jvmName="JAVA PLUG-IN", **CONTROL).encode(), ""),
            (("\ufeff# Java-Plug-in für den Assistenten\r\n" + plugin).encode("utf-16-le"), "x"),
            (("\ufeff" + plugin).encode("utf-16-be"), "x")]
    for control, argument in runs:
        layout(wine, workdir, "")
        (workdir / "kiv.control").write_bytes(control)
        assert run_launcher(wine, workdir, "-q", argument) == 0
        assert (workdir / "kiv.control").read_bytes() == control
        assert jvms["plugin150"].wizard_runs()[-1]["args"] == [
            "-classpath", ".;install.jar", "SampleWizard", "-q", argument]
    assert any("note: kiv.control is UTF-16 (big-endian" in text for text in trace_texts(workdir))
    # The runtime key is tried in full and refused by the versions registered there, without a
    # start; then the development kits most recent first: 1.5.0_22 runs the wizard, 1.4.2_19 is
    # never tried. The Plug-in key is searched only for the plug-in kind (in any letter case), and
    # then alone.
    assert [jvms[name].kinds() for name in jvms] == [
        [], [], [], ["test", "wizard"], ["test", "wizard"] * 4]


def test_wizard_that_leaves_no_marker_fails_and_leads_to_one_installation_attempt(
        wine, workdir):
    jre = StubJvm(wine, "jre142", "1.4.2_19", wizard=False)
    register(wine, [(JRE_KEY, "1.4.2_19", "0", jre.winhome)])
    (workdir / "jvmsetup.exe").write_bytes(stub("echoargs").read_bytes())
    layout(wine, workdir, control_text(
        jvmRequiredVersion="1.4", jvmInstallerType="thirdPartyJvmInstaller",
        jvmInstallerBinary="jvmsetup.exe", jvmInstallerCommand="jvmsetup.exe", **CONTROL))
    # Regression: an earlier run's marker made a wizard that never came up look started.
    (workdir / "__kivwizard.sem").write_bytes(b"")

    assert run_launcher(wine, workdir, "-q", "x", env={"ECHOARGS_OUT": "C:\\echoargs.out"}) == 0

    texts, errors = trace_texts(workdir), error_texts(workdir)
    # One installation attempt (finding the same JVM again) and one second launch.
    assert texts.count("attempting to install jvm 1.4") == 1 and "runJvmInstaller ok: true" in texts
    # Regression: a command without separators was passed once more as its only argument.
    echoed = (wine.drive_c / "echoargs.out").read_text().splitlines()
    assert [line for line in echoed if line.startswith("ARG")] == ["ARGC 1"]
    assert len(jre.wizard_runs()) == errors.count("Java wizard not started properly") == 2
    # The report is the wizard's, whatever the installation reported.
    assert "The install wizard ended without starting." in errors
    assert jre.properties() == properties_text("C:\\jvms\\jre142", False, in_temp=False)


# A wizard that left its marker and ended with an exit code of its own (1603: it failed, 3010: a
# restart is needed) hands it on to a deployment tool when the package asks for exit codes.
def test_the_wizards_own_exit_code_is_the_launchers_when_the_package_asks(wine, workdir):
    jre = StubJvm(wine, "jre150", "1.5.0_22")
    register(wine, [(JRE_KEY, "1.5", "0_22", jre.winhome)])
    for wizard_exit, wanted, code in ((1603, True, 1603), (3010, True, 3010), (1603, False, 0),
                                      (0, True, 0)):
        (jre.bindir / "stubjvm.ini").write_text(
            control_text(version="1.5.0_22", wizard=1, wizardExit=wizard_exit))
        layout(wine, workdir, control_text(**CONTROL, **(
            {"reportFailureByExitCode": "true"} if wanted else {})))
        (workdir / "errors.log").unlink(missing_ok=True)
        # Wine gives a Unix parent the low byte of an exit code: a Windows parent gets it whole.
        done = wine.run(stub("winprobe"), "run", cwd=workdir, timeout=120, env={
            "WINPROBE_COMMAND": f'"{wine.winpath(workdir / "installer.exe")}" -q x'})
        assert done.stdout.decode().split() == ["EXIT", str(code)]
        assert "Java wizard launched successfully" in trace_texts(workdir)
        line = f"the wizard ended with exit code {wizard_exit}"
        assert error_texts(workdir) == ([line] if code else []), wizard_exit
        assert not (workdir / "__kivwizard.sem").exists()
