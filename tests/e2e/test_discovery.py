"""Finding the JVMs of today's machines, each registered as its installer registers it (values and
trailing backslashes included); versions ordered by number; when no JVM fits, errors.log names
every candidate and why it was refused; a JVM that never answers is ended and the search goes on."""
import os
import subprocess
import time

import pytest

from launcher_support import (JDK_KEY, JRE_KEY, WIZARD_CONTROL, StubJvm, control_text, error_texts,
                              layout, put, register, run_launcher, trace_texts)
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
    "javasoft_jre": ("jvmMinVersion=11", [(r"C:\Program Files\Java\jre-11.0.21", "11.0.21")],
                     LM + r"JavaSoft\JRE\11.0.21 (64-bit view)", r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JRE]
"CurrentVersion"="11.0.21"
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JRE\11.0.21]
"JavaHome"="C:\\Program Files\\Java\\jre-11.0.21"
"RuntimeLib"="C:\\Program Files\\Java\\jre-11.0.21\\bin\\server\\jvm.dll"'''),
    # A 32-bit JRE on 64-bit Windows, in the 32-bit view only (javasoft_jre is in the 64-bit view
    # only): either build finds both. 1.8.0_401 is newer than 1.8.0_91 and is tried first; a
    # required 8 stands for both.
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
    "current_user": ("jvmMinVersion=17", [(r"C:\Tools\Java\jdk-21.0.1", "21.0.1")],
                     r"HKEY_CURRENT_USER\SOFTWARE\JavaSoft\JDK\21.0.1", r'''
[HKEY_CURRENT_USER\SOFTWARE\JavaSoft\JDK]
"CurrentVersion"="21.0.1"
[HKEY_CURRENT_USER\SOFTWARE\JavaSoft\JDK\21.0.1]
"JavaHome"="C:\\Tools\\Java\\jdk-21.0.1"'''),
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
    "path_only": ("jvmMinVersion=11", [(r"C:\tools\jdk-17.0.8", "17.0.8")],
                  r"PATH C:\tools\jdk-17.0.8\bin\javaw.exe",
                  {"WINEPATH": r"C:\tools\jdk-17.0.8\bin"}),
}


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
    wine.reg_import(r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\9.0.4]
"JavaHome"="C:\\Program Files\\Java\\jdk-9.0.4"
[HKEY_CURRENT_USER\SOFTWARE\JavaSoft\JDK\9.0.4]
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
    assert refused == [
        "JVM refused: " + LM + r"JavaSoft\Java Runtime Environment\1.8.0_401 (64-bit view),"
        r" home C:\jre-empty: no program javaw.exe under the home (nor in its bin)",
        "JVM refused: " + LM + r"JavaSoft\JDK\9.0.4 (64-bit view),"
        r" home C:\Program Files\Java\jdk-9.0.4: reported version 9.0.4, outside the limits",
        r"JVM refused: JAVA_HOME, home C:\tools\jdk-broken: did not start: Specified file is"
        " not executable or has invalid executable-file format",
    ]
    assert errors.index(refused[-1]) < errors.index(
        "The correct version of the JRE was not found on your system.")


def test_jvm_that_never_answers_is_ended_and_the_next_one_used(wine, workdir):
    hung = StubJvm(wine, f"hung-{os.getpid()}", "21.0.1", hang=1)
    good = StubJvm(wine, r"C:\jvms\goodjvm-17", "17.0.2")
    register(wine, [(JDK_KEY, "21.0", "1", hung.winhome), (JDK_KEY, "17.0", "2", good.winhome)])
    layout(wine, workdir, control_text(jvmMinVersion="11", jvmTestTimeout=3, **WIZARD_CONTROL))

    begin = time.monotonic()
    assert run_launcher(wine, workdir, "-q", "x", env={"JAVA_HOME": ""}) == 0

    assert time.monotonic() - begin < 3 + 30  # Wine's start-up and a loaded machine included
    assert [good.kinds(), hung.kinds()] == [["test", "wizard"], ["test"]]
    assert (hung.bindir / "stubjvm.child").exists()  # it did start a process of its own
    assert "test jvm left no answer within 3 seconds and was ended" in trace_texts(workdir)
    # Neither the hung JVM nor the process it started outlives the launcher.
    assert subprocess.run(["pgrep", "-f", hung.home.name]).returncode == 1
    # A refused candidate is no failure of the installation.
    assert error_texts(workdir) == []
