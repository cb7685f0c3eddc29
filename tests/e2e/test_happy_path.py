"""The happy path: the launcher finds a registered JVM, proves it with the test class, writes
native.properties, starts the wizard on it and waits for it."""
from conftest import stub
from shell_support import run_raw
from launcher_support import (JDK_KEY, JRE_KEY, PLUGIN_KEY, StubJvm, control_text, error_texts,
                              layout, register, run_launcher, trace_texts)
from provision_support import properties_text

WIZARD_CONTROL = dict(jvmCommandName="javaw.exe", jvmClasspathSwitch="-classpath",
                      loaderJavaCommand="SampleWizard")


def properties(home, installed=False, registry=True):
    return properties_text(home, installed, in_temp=False, registry=registry)


def launch_lines(workdir, home):
    """The trace from the JVM found to the wizard's verdict."""
    texts = trace_texts(workdir)
    first = texts.index(f"Found correct version of JVM: {home}\\bin\\javaw.exe")
    last = max(i for i, t in enumerate(texts) if t in (
        "Java wizard launched successfully", "Java wizard not started properly"))
    return texts[first:last + 1]


def test_greatest_acceptable_version_found_key_after_key_runs_the_wizard(wine, workdir):
    jvms = {name: StubJvm(wine, name, version) for name, version in (
        ("jre131", "1.3.1_20"), ("jre160", "1.6.0_31"), ("jdk142", "1.4.2_19"),
        ("jdk150", "1.5.0_22"), ("plugin150", "1.5.0_22"))}
    register(wine, [(JRE_KEY, "1.3.1_20", "0", jvms["jre131"].winhome),
                    (JRE_KEY, "1.6.0_31", "0", jvms["jre160"].winhome),
                    (JDK_KEY, "1.4.2_19", "0", jvms["jdk142"].winhome),
                    (JDK_KEY, "1.5.0_22", "0", jvms["jdk150"].winhome),
                    (PLUGIN_KEY, "1.5.0_22", "0", jvms["plugin150"].winhome)])
    layout(wine, workdir, control_text(jvmMinVersion="1.4", jvmMaxVersion="1.5",
                                       **WIZARD_CONTROL))

    assert run_launcher(wine, workdir, "-q", "x") == 0

    # The runtime key is tried in full and refused, then the development kits most recent first:
    # 1.5.0_22 is accepted and started, 1.4.2_19 is never tried, nor is the Plug-in key.
    assert [jvms[name].kinds() for name in jvms] == [
        ["test"], ["test"], [], ["test", "wizard"], []]
    texts = trace_texts(workdir)
    assert texts.index("JRE registry entry had correct jvm info: false") < \
        texts.index("JDK registry entry had correct jvm info: true")
    assert "Java Plugin registry entry had correct jvm info: false" not in texts
    [wizard] = jvms["jdk150"].wizard_runs()
    assert wizard["program"] == "javaw.exe"
    assert wizard["args"] == ["-classpath", ".;install.jar", "SampleWizard", "-q", "x"]
    assert wizard["cwd"].lower() == "c:\\work"
    assert jvms["jdk150"].properties() == properties("C:\\jvms\\jdk150")
    assert launch_lines(workdir, "C:\\jvms\\jdk150")[-1] == "Java wizard launched successfully"
    # The wizard's marker is consumed; nothing was reported as failed but the refused candidates.
    assert not (workdir / "__kivwizard.sem").exists()
    assert "Java wizard not started properly" not in error_texts(workdir)


def test_plug_in_kind_in_any_letter_case_searches_only_the_plug_in_key(wine, workdir):
    jre = StubJvm(wine, "jre142", "1.4.2_19")
    jdk = StubJvm(wine, "jdk142", "1.4.2_19")
    plugin = StubJvm(wine, "plugin142", "1.4.2_19")
    register(wine, [(JRE_KEY, "1.4.2_19", "0", jre.winhome),
                    (JDK_KEY, "1.4.2_19", "0", jdk.winhome),
                    (PLUGIN_KEY, "1.4.2_19", "0", plugin.winhome)])
    for kind in ("jAVA pLUG-iN", "JAVA PLUG-IN"):
        layout(wine, workdir, control_text(jvmName=kind, jvmRequiredVersion="1.4",
                                           **WIZARD_CONTROL))
        (workdir / "jinstall.log").write_bytes(b"")

        assert run_launcher(wine, workdir, "-q", "x") == 0

        assert jre.runs() == [] and jdk.runs() == []
        texts = trace_texts(workdir)
        assert "Java Plugin registry entry had correct jvm info: true" in texts
        assert not any(t.startswith(("JRE registry", "JDK registry")) for t in texts)
        assert plugin.properties() == properties("C:\\jvms\\plugin142")
    assert plugin.kinds() == ["test", "wizard"] * 2


def test_wizard_receives_the_documented_argument_list_whole_without_classpath(wine, workdir):
    # Regression: a quoted class-path element or switch argument ending in a backslash put "\""
    # before the closing quote, which the child reads as an escaped quote: the rest of the list ran
    # into one argument.
    jre = StubJvm(wine, "jre", "1.4.2_19")
    register(wine, [(JRE_KEY, "1.4", "2_19", jre.winhome)])
    layout(wine, workdir, control_text(
        jvmRequiredVersion="1.4", jvmCommandName="javaw.exe",
        jvmExtraParameters="-Xmx256m -Dx=1", jvmClasspathSwitch="-cp",
        loaderClasspath=".;C:\\My Dir\\x.jar;C:\\My Dir\\classes\\;install.jar;",
        loaderJavaCommand="Install arg"))
    wine.env.update(CLASSPATH="C:\\stale;C:\\old.jar", KIV_PROBE="yes")

    # Typed as: installer.exe -s "C:\Target Dir\"
    assert run_raw(wine, workdir, '-s "C:\\Target Dir\\"') == 0

    test, wizard = jre.runs()
    assert (test["kind"], wizard["kind"]) == ("test", "wizard")
    assert wizard["program"] == "javaw.exe"
    assert wizard["args"] == ["-Xmx256m", "-Dx=1", "-cp",
                              ".;C:\\My Dir\\x.jar;C:\\My Dir\\classes\\;install.jar",
                              "Install", "arg", "-s", "C:\\Target Dir\\"]
    # The launcher's environment reaches the wizard, all but CLASSPATH.
    assert wizard["env"]["KIV_PROBE"] == "yes"
    assert "CLASSPATH" not in wizard["env"]
    assert "CLASSPATH" not in test["env"]


def test_wizard_that_leaves_no_marker_fails_and_leads_to_one_installation_attempt(
        wine, workdir):
    jre = StubJvm(wine, "jre142", "1.4.2_19", wizard=False)
    register(wine, [(JRE_KEY, "1.4.2_19", "0", jre.winhome)])
    (workdir / "jvmsetup.exe").write_bytes(stub("echoargs").read_bytes())
    layout(wine, workdir, control_text(
        jvmRequiredVersion="1.4", jvmInstallerType="thirdPartyJvmInstaller",
        jvmInstallerBinary="jvmsetup.exe", jvmInstallerCommand="jvmsetup.exe", **WIZARD_CONTROL))

    assert run_launcher(wine, workdir, "-q", "x", env={"ECHOARGS_OUT": "C:\\echoargs.out"}) == 0

    texts = trace_texts(workdir)
    errors = error_texts(workdir)
    # The JVM ran normally, but without the marker the launch failed.
    assert texts.count("java wizard execed with no reported errors") >= 1
    assert "Java wizard not started properly" in errors
    assert "Java wizard launched successfully" not in texts
    # One installation attempt follows (the installer program installs nothing; the search after it
    # finds the registered JVM again) and one second launch on that JVM.
    assert texts.count("attempting to install jvm 1.4") == 1
    assert "runJvmInstaller ok: true" in texts
    # Regression: a command without separators was passed once more as its only argument.
    echoed = (wine.drive_c / "echoargs.out").read_text().splitlines()
    assert [line for line in echoed if line.startswith("ARG")] == ["ARGC 1"]
    assert len(jre.wizard_runs()) == 2
    assert errors.count("Java wizard not started properly") == 2
    assert texts.count("launching java installer") == 2
    # The report is the wizard's, whatever the installation reported.
    assert "Unable to start the install wizard." in errors
    assert jre.properties() == properties("C:\\jvms\\jre142")
