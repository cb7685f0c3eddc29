"""When no installed JVM fits: errors.log names every candidate with where
it was found and why it was refused; a JVM that never answers its test run
is ended with everything it started and the search goes on; a test run that
fails leaves errors.log alone when the installation succeeds; a directory
named jvmGood.txt does not make every JVM fail."""
import time

from launcher_support import (control_text, error_texts, layout, run_launcher, stub_jvm_at,
                              trace_texts, wine_processes)

WIZARD_CONTROL = dict(jvmCommandName="javaw.exe", jvmClasspathSwitch="-classpath",
                      loaderJavaCommand="SampleWizard")


def test_failed_search_names_each_candidate_and_why_in_errors_log(wine, workdir):
    jdk9 = stub_jvm_at(wine, r"C:\Program Files\Java\jdk-9.0.4", "9.0.4")
    (wine.drive_c / "jre-empty").mkdir()
    broken = wine.drive_c / "tools" / "jdk-broken" / "bin"
    broken.mkdir(parents=True)
    (broken / "javaw.exe").write_bytes(b"not a program")
    wine.reg_import(r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\9.0.4]
"JavaHome"="C:\\Program Files\\Java\\jdk-9.0.4"
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\Java Runtime Environment\1.8.0_401]
"JavaHome"="C:\\jre-empty"
"MicroVersion"="0"
[HKEY_CURRENT_USER\SOFTWARE\JavaSoft\JDK\9.0.4]
"JavaHome"="c:\\program files\\\\java\\JDK-9.0.4\\"
''')
    layout(wine, workdir, control_text(jvmMinVersion="11", **WIZARD_CONTROL))

    assert run_launcher(wine, workdir, "-q", "x",
                        env={"JAVA_HOME": r"C:\tools\jdk-broken"}) == 0

    # The same home in another spelling is tried once.
    assert jdk9.kinds() == ["test"]
    errors = error_texts(workdir)
    refused = [e for e in errors if e.startswith("JVM refused:")]
    assert refused == [
        r"JVM refused: HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\Java Runtime Environment"
        r"\1.8.0_401 (64-bit view), home C:\jre-empty: no program javaw.exe under the home"
        " (nor in its bin)",
        r"JVM refused: HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\9.0.4 (64-bit view),"
        r" home C:\Program Files\Java\jdk-9.0.4: reported version 9.0.4, outside the limits",
        r"JVM refused: JAVA_HOME, home C:\tools\jdk-broken: did not start: Specified file is"
        " not executable or has invalid executable-file format",
    ]
    # The list comes before the failure's own message.
    assert errors.index(refused[-1]) < errors.index(
        "The correct version of the JRE was not found on your system.")


def test_jvm_that_never_answers_is_ended_and_the_next_one_used(wine, workdir):
    hung = stub_jvm_at(wine, r"C:\jvms\hungjvm-21", "21.0.1", hang="1")
    good = stub_jvm_at(wine, r"C:\jvms\goodjvm-17", "17.0.2")
    wine.reg_import(r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\21.0.1]
"JavaHome"="C:\\jvms\\hungjvm-21"
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\17.0.2]
"JavaHome"="C:\\jvms\\goodjvm-17"
''')
    limit = 3
    layout(wine, workdir, control_text(jvmMinVersion="11", jvmTestTimeout=str(limit),
                                       **WIZARD_CONTROL))

    start = time.monotonic()
    assert run_launcher(wine, workdir, "-q", "x", env={"JAVA_HOME": ""}) == 0
    elapsed = time.monotonic() - start

    assert hung.kinds() == ["test"]
    assert (hung.bindir / "stubjvm.child").exists()  # it did start a process of its own
    assert good.kinds() == ["test", "wizard"]
    assert elapsed < limit + 30  # Wine's start-up and a loaded machine included
    texts = trace_texts(workdir)
    assert f"test jvm left no answer within {limit} seconds and was ended" in texts
    # Neither the hung JVM nor the process it started outlives the launcher.
    assert wine_processes(wine, "hungjvm") == []
    # A refused candidate is no failure of the installation.
    assert error_texts(workdir) == []


def test_directory_named_jvmGood_txt_does_not_refuse_every_jvm(wine, workdir):
    # Regression: with a directory jvmGood.txt in the work directory every
    # test run failed, in this run and every later one.
    jvm = stub_jvm_at(wine, r"C:\Program Files\Java\jdk-17.0.2", "17.0.2")
    wine.reg_import(r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\17.0.2]
"JavaHome"="C:\\Program Files\\Java\\jdk-17.0.2"
''')
    layout(wine, workdir, control_text(jvmMinVersion="11", **WIZARD_CONTROL))
    (workdir / "jvmGood.txt").mkdir()

    assert run_launcher(wine, workdir, "-q", "x", env={"JAVA_HOME": ""}) == 0

    assert jvm.kinds() == ["test", "wizard"]
    texts = trace_texts(workdir)
    assert "results file cannot be deleted: jvmGood.txt" in texts
    assert not (workdir / "__kivjvmtest").exists()
