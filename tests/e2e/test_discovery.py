"""Finding the JVMs of today's machines, each registered as its installer registers it (values and
trailing backslashes included); versions as Java numbers them; a registration that names a range
(zulu-17, an old 1.8 key) never refuses a JVM inside it; registrations and release files refuse
without a JVM start, and so does a JVM made for another processor; when no JVM fits, errors.log
names every candidate and why it was refused; a JVM that never answers is ended and the search goes
on."""
import os
import subprocess

import pytest

from launcher_support import (JDK_KEY, JRE_KEY, WIZARD_CONTROL, StubJvm, control_text, error_texts,
                              layout, put, register, run_launcher, set_pe_machine, trace_texts)
LM = "HKEY_LOCAL_MACHINE\\SOFTWARE\\"

# id: (limit, JVMs as (home, version), the last runs the wizard; where its source is named,
#      the .reg lines or the environment that name it)
SCENARIOS = {
    # By text 9.0.4 came first and passed a minimum of 11.
    "javasoft_jdk": ("jvmMinVersion=11", [(r"C:\Program Files\Java\jdk-9.0.4", "9.0.4"),
                                          (r"C:\Program Files\Java\jdk-11.0.2", "11.0.2")],
                     LM + r"JavaSoft\JDK\11.0.2 (64-bit view)", r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK]
"CurrentVersion"="11.0.2"
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\9.0.4]
"JavaHome"="C:\\Program Files\\Java\\jdk-9.0.4"
"RuntimeLib"="C:\\Program Files\\Java\\jdk-9.0.4\\bin\\server\\jvm.dll"
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\11.0.2]
"JavaHome"="C:\\Program Files\\Java\\jdk-11.0.2"
"RuntimeLib"="C:\\Program Files\\Java\\jdk-11.0.2\\bin\\server\\jvm.dll"'''),
    # A 32-bit JRE on 64-bit Windows, in the 32-bit view only: either build finds it. 1.8.0_401
    # is newer than 1.8.0_91 and is tried first; a required 8 stands for both.
    "jre8_32bit_view": ("jvmRequiredVersion=8",
                        [(r"C:\Program Files (x86)\Java\jre1.8.0_91", "1.8.0_91"),
                         (r"C:\Program Files (x86)\Java\jre-1.8", "1.8.0_401")],
                        LM + r"JavaSoft\Java Runtime Environment\1.8.0_401 (32-bit view)", r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\JavaSoft\Java Runtime Environment]
"CurrentVersion"="1.8"
"BrowserJavaVersion"="11.401.2"
[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\JavaSoft\Java Runtime Environment\1.8]
"JavaHome"="C:\\Program Files (x86)\\Java\\jre-1.8"
"MicroVersion"="0"
"RuntimeLib"="C:\\Program Files (x86)\\Java\\jre-1.8\\bin\\client\\jvm.dll"
[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\JavaSoft\Java Runtime Environment\1.8.0_91]
"JavaHome"="C:\\Program Files (x86)\\Java\\jre1.8.0_91"
"MicroVersion"="0"
"RuntimeLib"="C:\\Program Files (x86)\\Java\\jre1.8.0_91\\bin\\client\\jvm.dll"
[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\JavaSoft\Java Runtime Environment\1.8.0_401]
"JavaHome"="C:\\Program Files (x86)\\Java\\jre-1.8"
"MicroVersion"="0"
"RuntimeLib"="C:\\Program Files (x86)\\Java\\jre-1.8\\bin\\client\\jvm.dll"'''),
    "eclipse_adoptium": (
        "jvmMinVersion=17", [(r"C:\Program Files\Eclipse Adoptium\jdk-17.0.9.9-hotspot", "17.0.9")],
        LM + r"Eclipse Adoptium\JDK\17.0.9.9\hotspot\MSI (64-bit view)", r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\Eclipse Adoptium\JDK\17.0.9.9\hotspot\MSI]
"Path"="C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot\\"
"Main"=dword:00000001
"EnvironmentPath"=dword:00000001
"JavaHome"=dword:00000000'''),
    "azul_zulu": ("jvmMinVersion=17", [(r"C:\Program Files\Zulu\zulu-21", "21.0.1")],
                  LM + r"Azul Systems\Zulu\zulu-21 (64-bit view)", r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\Azul Systems\Zulu\zulu-21]
"InstallationPath"="C:\\Program Files\\Zulu\\zulu-21\\"
"CurrentVersion"="21.30.15"'''),
    "microsoft": (
        "jvmMinVersion=17", [(r"C:\Program Files\Microsoft\jdk-17.0.10.7-hotspot", "17.0.10")],
        LM + r"Microsoft\JDK\17.0.10.7\hotspot\MSI (64-bit view)", r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\JDK\17.0.10.7\hotspot\MSI]
"Path"="C:\\Program Files\\Microsoft\\jdk-17.0.10.7-hotspot\\"
"Main"=dword:00000001'''),
    "java_home_only": ("jvmMinVersion=11", [(r"C:\tools\jdk-21.0.2", "21.0.2")], "JAVA_HOME",
                       {"JAVA_HOME": r"C:\tools\jdk-21.0.2"}),
}


def key(path, **values):
    """A .reg key below HKEY_LOCAL_MACHINE\\SOFTWARE with text values."""
    return f"[{LM}{path}]\n" + "".join(
        f'"{name}"="{value}"\n'.replace("\\", "\\\\") for name, value in values.items())


def jre_key(version, home):
    return key(f"JavaSoft\\{JRE_KEY}\\{version}", MicroVersion="0", JavaHome=home)


def adoptium_key(version, home):
    return key(f"Eclipse Adoptium\\JDK\\{version}\\hotspot\\MSI", Path=home + "\\")


JDK17 = r"C:\Program Files\Java\jdk-17"
# A GA release reports 17: trailing zeros of a limit carry no meaning.
for limit in ("jvmMinVersion=17.0", "jvmRequiredVersion=17.0"):
    SCENARIOS["ga_17, " + limit] = (limit, [(JDK17, "17")], LM + r"JavaSoft\JDK\17 (64-bit view)",
                                    key(r"JavaSoft\JDK\17", JavaHome=JDK17))
ZULU17 = r"C:\Program Files\Zulu\zulu-17"
JRE8 = r"C:\Program Files\Eclipse Adoptium\jdk-8.0.402.6-hotspot"
ADOPTIUM8 = LM + r"Eclipse Adoptium\JDK\8.0.402.6\hotspot\MSI (64-bit view)"
SCENARIOS.update({
    # The key names 17 only: every 17.x, 17.0.10 among them.
    "zulu_17_names_a_range": ("jvmMinVersion=17.0.2", [(ZULU17, "17.0.10")],
                              LM + r"Azul Systems\Zulu\zulu-17 (64-bit view)",
                              key(r"Azul Systems\Zulu\zulu-17", InstallationPath=ZULU17 + "\\")),
    # 1.9 is 9, not "one point nine" below everything.
    "max_1.9": ("jvmMinVersion=1.6\njvmMaxVersion=1.9", [(r"C:\Java\jre1.8.0_401", "1.8.0_401")],
                LM + r"JavaSoft\Java Runtime Environment\1.8.0_401 (64-bit view)",
                jre_key("1.8.0_401", r"C:\Java\jre1.8.0_401")),
    # An old 1.8 key (MicroVersion 0: 1.8.0) stands for 1.8.0_402, and the JVM is proved once.
    "old_1.8_key_and_adoptium": ("jvmRequiredVersion=1.8.0_402", [(JRE8, "1.8.0_402")],
                                 LM + r"JavaSoft\Java Runtime Environment\1.8 (64-bit view)",
                                 jre_key("1.8", JRE8) + adoptium_key("8.0.402.6", JRE8)),
    # A stale key that names a version outside the limits leaves the home to the exact one.
    "stale_key_then_exact": ("jvmMinVersion=1.8", [(JRE8, "1.8.0_402")], ADOPTIUM8,
                             jre_key("1.6", JRE8) + adoptium_key("8.0.402.6", JRE8)),
    # JavaHome as some installers and group policies write it.
    "expandable_home": ("jvmMinVersion=17", [(r"C:\jvms\expand-17", "17.0.10")],
                        LM + r"JavaSoft\JDK\17.0.10 (64-bit view)",
                        f'[{LM}JavaSoft\\JDK\\17.0.10]\n"JavaHome"=hex(2):' +
                        ",".join(f"{b:02x}" for b in b"%SystemDrive%\\jvms\\expand-17\0") + "\n"),
    # Five registered Java 8 ahead of a Java 17: only the 17 is started.
    "many_jvms": ("jvmMinVersion=17",
                  [(rf"C:\Java\jre1.8.0_{u}", f"1.8.0_{u}") for u in (361, 371, 381, 391, 401)] +
                  [(JDK17, "17.0.10")], LM + r"JavaSoft\JDK\17.0.10 (64-bit view)",
                  "".join(jre_key(f"1.8.0_{u}", rf"C:\Java\jre1.8.0_{u}")
                          for u in (361, 371, 381, 391, 401))
                  + key(r"JavaSoft\JDK\17.0.10", JavaHome=JDK17)),
})


@pytest.mark.parametrize("name", list(SCENARIOS))
def test_each_source_finds_its_jvm_and_the_wizard_starts_on_it(wine, workdir, name):
    limit, homes, where, source = SCENARIOS[name]
    jvms = [StubJvm(wine, home, version) for home, version in homes]
    if isinstance(source, str):
        wine.reg_import(source + "\n")
    env = source if isinstance(source, dict) else {}
    layout(wine, workdir, limit + "\n" + control_text(**WIZARD_CONTROL))

    # No JAVA_HOME of the host machine reaches the run unless wanted.
    assert run_launcher(wine, workdir, "-q", "x", env=dict({"JAVA_HOME": ""}, **env)) == 0

    # The older JVM is never tried.
    assert [jvm.kinds() for jvm in jvms] == [[]] * (len(jvms) - 1) + [["test", "wizard"]]
    assert {f"JVM found under {where}", "Java wizard launched successfully",
            f"Found correct version of JVM: {homes[-1][0]}\\bin\\javaw.exe"} <= set(
                trace_texts(workdir))


def test_failed_search_names_each_candidate_and_why_in_errors_log(wine, workdir):
    jdk9 = StubJvm(wine, r"C:\Program Files\Java\jdk-9.0.4", "9.0.4")
    (wine.drive_c / "jre-empty").mkdir()
    put(wine.drive_c, {"tools/jdk-broken/bin/javaw.exe": b"not a program"})
    # A JDK 9 in the folder a JDK 11 key names, and that key once more under another spelling; a
    # JavaHome written as a number.
    wine.reg_import(key(r"JavaSoft\JDK\11.0.2", JavaHome=jdk9.winhome)
                    + key(r"JavaSoft\JDK\17.0.1", JavaHome=r"C:\jre-empty") + r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\17.0.2]
"JavaHome"=dword:00003a43
[HKEY_CURRENT_USER\SOFTWARE\JavaSoft\JDK\11.0.2]
"JavaHome"="c:\\program files\\\\java\\JDK-9.0.4\\"
''')
    register(wine, [(JRE_KEY, "1.8.0_401", "0", "C:\\jre-empty")])
    layout(wine, workdir, control_text(jvmMinVersion="11", **WIZARD_CONTROL))
    # Regression: with a directory jvmGood.txt in the work directory every test run failed.
    (workdir / "jvmGood.txt").mkdir()

    assert run_launcher(wine, workdir, "-q", "x",
                        env={"JAVA_HOME": r"C:\tools\jdk-broken"}) == 0

    # The same home in another spelling is tried once.
    assert jdk9.kinds() == ["test"]
    assert "results file cannot be deleted: jvmGood.txt" in trace_texts(workdir)
    assert not (workdir / "__kivjvmtest").exists()
    errors = error_texts(workdir)
    refused = [e for e in errors if e.startswith("JVM refused:")]
    # Refused by its registration without a start, and not counted as tried for it.
    assert refused == [
        "JVM refused: " + LM + r"JavaSoft\Java Runtime Environment\1.8.0_401 (64-bit view),"
        r" home C:\jre-empty: registered as version 1.8.0_401, outside the limits",
        "JVM refused: " + LM + r"JavaSoft\JDK\17.0.2 (64-bit view), home (none):"
        " JavaHome is a REG_DWORD value, not a directory",
        "JVM refused: " + LM + r"JavaSoft\JDK\17.0.1 (64-bit view),"
        r" home C:\jre-empty: no program javaw.exe under the home (nor in its bin)",
        "JVM refused: " + LM + r"JavaSoft\JDK\11.0.2 (64-bit view),"
        r" home C:\Program Files\Java\jdk-9.0.4: reported version 9.0.4, outside the limits",
        r"JVM refused: JAVA_HOME, home C:\tools\jdk-broken: did not start: Windows error 193:"
        r" Bad EXE format for C:\tools\jdk-broken\bin\javaw.exe",
    ]
    assert errors.index(refused[-1]) < errors.index(
        "The correct version of the JRE was not found on your system.")


# id: (limit, setup(wine) giving the stub JVMs and the environment, refusal lines, each stub's runs)
def without_test_class(wine):
    old = StubJvm(wine, "jre1.6.0_45", "1.6.0_45")
    mute = StubJvm(wine, r"C:\tools\mute", "17.0.10", answer=0)
    return [old, mute], {"JAVA_HOME": old.winhome, "WINEPATH": mute.winhome + "\\bin"}


def registered_and_released(wine):
    old = StubJvm(wine, "jre1.6.0_45", "1.6.0_45")
    register(wine, [(JRE_KEY, "1.6.0_45", "0", old.winhome)])
    jre8 = StubJvm(wine, "jre1.8.0_401", "1.8.0_401")
    (jre8.home / "release").write_text('IMPLEMENTOR="Oracle Corporation"\nJAVA_VERSION="1.8.0_401"\n')
    return [old, jre8], {"JAVA_HOME": jre8.winhome}


def arm64_jvm(wine):
    arm = StubJvm(wine, "jdk-17-arm64", "17.0.10")
    set_pe_machine(arm.bindir / "javaw.exe", 0xAA64)
    wine.reg_import(key(r"JavaSoft\JDK\17.0.10", JavaHome=arm.winhome))
    return [arm], {}


REFUSED = {
    "without_test_class": ("jvmMinVersion=17", without_test_class, [
        r"JAVA_HOME, home C:\jvms\jre1.6.0_45: answered -version with version 1.6.0_45, outside"
        " the limits",
        r"PATH C:\tools\mute\bin\javaw.exe, home C:\tools\mute: could not be judged: no test"
        " class, no version in its -version answer and no release file"], [["version"]] * 2),
    # 1.10 is 10; neither JVM is started.
    "min_1.10": ("jvmMinVersion=1.10", registered_and_released, [
        LM + r"JavaSoft\Java Runtime Environment\1.6.0_45 (64-bit view), home C:\jvms\jre1.6.0_45:"
        " registered as version 1.6.0_45, outside the limits",
        r"JAVA_HOME, home C:\jvms\jre1.8.0_401: its release file names version 1.8.0_401, outside"
        " the limits"], [[], []]),
    # Neither build starts a JVM made for another processor; its machine's is named.
    "arm64_on_x64": ("jvmMinVersion=17", arm64_jvm, [
        LM + r"JavaSoft\JDK\17.0.10 (64-bit view), home C:\jvms\jdk-17-arm64: its program is for"
        " ARM64 machines, this machine is x64"], [[]]),
}


@pytest.mark.parametrize("name", list(REFUSED))
def test_jvm_judged_without_its_test_run_is_refused_with_the_evidence(wine, workdir, name):
    limit, setup, reasons, runs = REFUSED[name]
    jvms, env = setup(wine)
    layout(wine, workdir, limit + "\n" + control_text(**WIZARD_CONTROL))
    if name == "without_test_class":
        (workdir / "TestJvm.class").unlink()

    assert run_launcher(wine, workdir, "-q", "x", env=env) == 0

    assert [jvm.kinds() for jvm in jvms] == runs
    assert [e for e in error_texts(workdir) if e.startswith("JVM refused:")] == [
        "JVM refused: " + reason for reason in reasons]


def test_jvm_that_never_answers_is_ended_and_the_next_one_used(wine, workdir):
    hung = StubJvm(wine, f"hung-{os.getpid()}", "21.0.1", hang=1)
    good = StubJvm(wine, r"C:\jvms\goodjvm-17", "17.0.2")
    register(wine, [(JDK_KEY, "21.0", "1", hung.winhome), (JDK_KEY, "17.0", "2", good.winhome)])
    layout(wine, workdir, control_text(jvmMinVersion="11", jvmTestTimeout="3 ", **WIZARD_CONTROL))

    assert run_launcher(wine, workdir, "-q", "x", env={"JAVA_HOME": ""}) == 0

    assert [good.kinds(), hung.kinds()] == [["test", "wizard"], ["test"]]
    assert (hung.bindir / "stubjvm.child").exists()  # it did start a process of its own
    assert "test jvm left no answer within 3 seconds and was ended" in trace_texts(workdir)
    # Neither the hung JVM nor the process it started outlives the launcher.
    assert subprocess.run(["pgrep", "-f", hung.home.name]).returncode == 1
    # A refused candidate is no failure of the installation.
    assert error_texts(workdir) == []
