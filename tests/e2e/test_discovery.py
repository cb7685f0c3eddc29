"""Finding the JVMs of today's machines, registered as their installers register them; versions
as Java numbers them; a registration that names a range never refuses a JVM inside it; of equally
good JVMs the same one wins; registrations, release files and a program for another processor
refuse without a JVM start; when no JVM fits, errors.log names every candidate and why; a JVM that
never answers is ended and the search goes on."""
import os
import subprocess

import pytest

from launcher_support import (JDK_KEY, JRE_KEY, WIZARD_CONTROL, StubJvm, control_text, error_texts,
                              layout, put, register, run_launcher, set_pe_machine, trace_texts)
LM = "HKEY_LOCAL_MACHINE\\SOFTWARE\\"


def key(path, **values):
    """A .reg key below HKEY_LOCAL_MACHINE\\SOFTWARE with text (or, given a number, DWORD) values."""
    return f"[{LM}{path}]\n" + "".join(
        f'"{name}"=dword:{value:08x}\n' if isinstance(value, int) else
        f'"{name}"="{value}"\n'.replace("\\", "\\\\") for name, value in values.items())


def jre_key(version, home, micro="0"):
    return key(f"JavaSoft\\{JRE_KEY}\\{version}", MicroVersion=micro, JavaHome=home)


def adoptium_key(version, home):
    return key(f"Eclipse Adoptium\\JDK\\{version}\\hotspot\\MSI", Path=home + "\\", Main=1,
               EnvironmentPath=1, JavaHome=0)


def jdk_key(version, home):
    return key(f"JavaSoft\\JDK\\{version}", JavaHome=home, RuntimeLib=rf"{home}\bin\server\jvm.dll")


JDK = r"C:\Program Files\Java\jdk-"
JRE32 = r"C:\Program Files (x86)\Java\jre"
JDK17 = r"C:\Program Files\Java\jdk-17"
ZULU17 = r"C:\Program Files\Zulu\zulu-17"
JRE8 = r"C:\Program Files\Eclipse Adoptium\jdk-8.0.402.6-hotspot"
MICROSOFT = r"C:\Program Files\Microsoft\jdk-17.0.10.7-hotspot"
# id: (limit, JVMs as (home, version), the last runs the wizard; where its source is named,
#      the .reg text or the environment that name it)
SCENARIOS = {
    # By text 9.0.4 came first and passed a minimum of 11.
    "javasoft_jdk": ("jvmMinVersion=11", [(JDK + "9.0.4", "9.0.4"), (JDK + "11.0.2", "11.0.2")],
                     LM + r"JavaSoft\JDK\11.0.2 (64-bit view)", key(r"JavaSoft\JDK",
                     CurrentVersion="11.0.2") + jdk_key("9.0.4", JDK + "9.0.4")
                     + jdk_key("11.0.2", JDK + "11.0.2")),
    # A 32-bit JRE on 64-bit Windows, in the 32-bit view only: either build finds it. 1.8.0_401
    # is newer than 1.8.0_91 and is tried first; a required 8 stands for both.
    "jre8_32bit_view": ("jvmRequiredVersion=8", [(JRE32 + "1.8.0_91", "1.8.0_91"),
                                                 (JRE32 + "-1.8", "1.8.0_401")],
                        LM + r"JavaSoft\Java Runtime Environment\1.8.0_401 (32-bit view)",
                        (key(r"JavaSoft\Java Runtime Environment", CurrentVersion="1.8",
                             BrowserJavaVersion="11.401.2") + "".join(
                            key(rf"JavaSoft\Java Runtime Environment\{v}", JavaHome=JRE32 + h,
                                MicroVersion="0", RuntimeLib=rf"{JRE32}{h}\bin\client\jvm.dll")
                            for v, h in (("1.8", "-1.8"), ("1.8.0_91", "1.8.0_91"),
                                         ("1.8.0_401", "-1.8")))).replace(
                            LM, LM + "Wow6432Node\\")),
    "microsoft": ("jvmMinVersion=17", [(MICROSOFT, "17.0.10")],
                  LM + r"Microsoft\JDK\17.0.10.7\hotspot\MSI (64-bit view)",
                  key(r"Microsoft\JDK\17.0.10.7\hotspot\MSI", Path=MICROSOFT + "\\", Main=1)),
    "java_home_only": ("jvmMinVersion=11", [(r"C:\tools\jdk-21.0.2", "21.0.2")], "JAVA_HOME",
                       {"JAVA_HOME": r"C:\tools\jdk-21.0.2"}),
    # The key names 17 only: every 17.x, 17.0.10 among them.
    "zulu_17_names_a_range": ("jvmMinVersion=17.0.2", [(ZULU17, "17.0.10")],
                              LM + r"Azul Systems\Zulu\zulu-17 (64-bit view)",
                              key(r"Azul Systems\Zulu\zulu-17", CurrentVersion="17.46.19",
                                  InstallationPath=ZULU17 + "\\")),
    # 1.9 is 9, not "one point nine" below everything. Equally good JVMs (1.8 with micro version
    # 0_401 is 1.8.0_401): the key named in full wins, the other is never started.
    "max_1.9_and_a_tie": ("jvmMinVersion=1.6\njvmMaxVersion=1.9",
                          [(r"C:\Java\jre-1.8", "1.8.0_401"), (r"C:\Java\jre1.8.0_401", "1.8.0_401")],
                          LM + r"JavaSoft\Java Runtime Environment\1.8.0_401 (64-bit view)",
                          jre_key("1.8", r"C:\Java\jre-1.8", "0_401")
                          + jre_key("1.8.0_401", r"C:\Java\jre1.8.0_401")),
    # An old 1.8 key (MicroVersion 0: 1.8.0) stands for 1.8.0_402, and the JVM is proved once.
    "old_1.8_key_and_adoptium": ("jvmRequiredVersion=1.8.0_402", [(JRE8, "1.8.0_402")],
                                 LM + r"JavaSoft\Java Runtime Environment\1.8 (64-bit view)",
                                 jre_key("1.8", JRE8) + adoptium_key("8.0.402.6", JRE8)),
    # A stale key that names a version outside the limits leaves the home to the exact one.
    "stale_key_then_exact": ("jvmMinVersion=1.8", [(JRE8, "1.8.0_402")],
                             LM + r"Eclipse Adoptium\JDK\8.0.402.6\hotspot\MSI (64-bit view)",
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
}
# A GA release reports 17: trailing zeros of a limit carry no meaning.
for limit in ("jvmMinVersion=17.0", "jvmRequiredVersion=17.0"):
    SCENARIOS["ga_17, " + limit] = (limit, [(JDK17, "17")], LM + r"JavaSoft\JDK\17 (64-bit view)",
                                    key(r"JavaSoft\JDK\17", JavaHome=JDK17))


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
    assert f"JVM found under {where}" in trace_texts(workdir), trace_texts(workdir)


# id: (limit, setup(wine) giving the stub JVMs and the environment, refusal lines, each stub's runs)
def many_kinds(wine):
    jdk9 = StubJvm(wine, r"C:\Program Files\Java\jdk-9.0.4", "9.0.4")
    (wine.drive_c / "jre-empty").mkdir()
    put(wine.drive_c, {"tools/jdk-broken/bin/javaw.exe": b"not a program"})
    # A JDK 9 in the folder a JDK 11 key names, and that key once more under another spelling; a
    # JavaHome written as a number.
    wine.reg_import(key(r"JavaSoft\JDK\11.0.2", JavaHome=jdk9.winhome)
                    + key(r"JavaSoft\JDK\17.0.1", JavaHome=r"C:\jre-empty")
                    + key(r"JavaSoft\JDK\17.0.2", JavaHome=0x3a43) + r'''
[HKEY_CURRENT_USER\SOFTWARE\JavaSoft\JDK\11.0.2]
"JavaHome"="c:\\program files\\\\java\\JDK-9.0.4\\"
''')
    register(wine, [(JRE_KEY, "1.8.0_401", "0", "C:\\jre-empty")])
    # Regression: with a directory jvmGood.txt in the work directory every test run failed.
    (wine.drive_c / "work" / "jvmGood.txt").mkdir()
    return [jdk9], {"JAVA_HOME": r"C:\tools\jdk-broken"}


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
    # Refused by its registration without a start, and not counted as tried for it; the same home
    # in another spelling is tried once.
    "each_candidate_and_why": ("jvmMinVersion=11", many_kinds, [
        LM + r"JavaSoft\Java Runtime Environment\1.8.0_401 (64-bit view), home C:\jre-empty:"
        " registered as version 1.8.0_401, outside the limits",
        LM + r"JavaSoft\JDK\17.0.2 (64-bit view), home (none): JavaHome is a REG_DWORD value, not"
        " a directory",
        LM + r"JavaSoft\JDK\17.0.1 (64-bit view), home C:\jre-empty: no program javaw.exe under"
        " the home (nor in its bin)",
        LM + r"JavaSoft\JDK\11.0.2 (64-bit view), home C:\Program Files\Java\jdk-9.0.4: reported"
        " version 9.0.4, outside the limits",
        r"JAVA_HOME, home C:\tools\jdk-broken: did not start: Windows error 193: Bad EXE format for"
        r" C:\tools\jdk-broken\bin\javaw.exe"], [["test"]]),
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
def test_failed_search_names_each_candidate_and_why_in_errors_log(wine, workdir, name):
    limit, setup, reasons, runs = REFUSED[name]
    jvms, env = setup(wine)
    layout(wine, workdir, limit + "\n" + control_text(**WIZARD_CONTROL))
    if name == "without_test_class":
        (workdir / "TestJvm.class").unlink()

    assert run_launcher(wine, workdir, "-q", "x", env=env) == 0

    assert [jvm.kinds() for jvm in jvms] == runs
    errors = error_texts(workdir)
    assert [e for e in errors if e.startswith("JVM refused:")] == [
        "JVM refused: " + reason for reason in reasons]
    assert errors.index("JVM refused: " + reasons[-1]) < errors.index(
        "The correct version of the JRE was not found on your system.")
    assert not (workdir / "__kivjvmtest").exists()
    assert name != "each_candidate_and_why" or \
        "results file cannot be deleted: jvmGood.txt" in trace_texts(workdir)


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
