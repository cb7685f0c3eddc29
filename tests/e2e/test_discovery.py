"""Finding the JVMs of today's machines: one scenario per source, each JVM
registered as its installer registers it (values and trailing backslashes
included), each ending with the wizard started on that JVM; and the order
of versions by number (a minimum of 11 passes over 9.0.4, 1.8.0_401 is
newer than 1.8.0_91, a limit 8 is met by 1.8.0_401)."""
import pytest

from launcher_support import control_text, layout, run_launcher, stub_jvm_at, trace_texts

WIZARD_CONTROL = dict(jvmCommandName="javaw.exe", jvmClasspathSwitch="-classpath",
                      loaderJavaCommand="SampleWizard")
LM = "HKEY_LOCAL_MACHINE"
CU = "HKEY_CURRENT_USER"


# id: (.reg text or None, environment, JVMs as (home, version), index of
#      the JVM that must run the wizard, where its source is named, limits)
SCENARIOS = {
    "javasoft_jdk": (r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK]
"CurrentVersion"="17.0.2"
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\17.0.2]
"JavaHome"="C:\\Program Files\\Java\\jdk-17.0.2"
"RuntimeLib"="C:\\Program Files\\Java\\jdk-17.0.2\\bin\\server\\jvm.dll"
''', {}, [(r"C:\Program Files\Java\jdk-17.0.2", "17.0.2")], 0,
        LM + r"\SOFTWARE\JavaSoft\JDK\17.0.2 (64-bit view)", dict(jvmMinVersion="11")),
    "javasoft_jre": (r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JRE]
"CurrentVersion"="11.0.21"
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JRE\11.0.21]
"JavaHome"="C:\\Program Files\\Java\\jre-11.0.21"
"RuntimeLib"="C:\\Program Files\\Java\\jre-11.0.21\\bin\\server\\jvm.dll"
''', {}, [(r"C:\Program Files\Java\jre-11.0.21", "11.0.21")], 0,
        LM + r"\SOFTWARE\JavaSoft\JRE\11.0.21 (64-bit view)", dict(jvmMinVersion="11")),
    # A 32-bit JRE on 64-bit Windows, found by the 64-bit build; a limit
    # written 8 is met by 1.8.0_401.
    "jre8_32bit_view": (r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\JavaSoft\Java Runtime Environment]
"CurrentVersion"="1.8"
"BrowserJavaVersion"="11.401.2"
[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\JavaSoft\Java Runtime Environment\1.8]
"JavaHome"="C:\\Program Files (x86)\\Java\\jre-1.8"
"MicroVersion"="0"
"RuntimeLib"="C:\\Program Files (x86)\\Java\\jre-1.8\\bin\\client\\jvm.dll"
[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\JavaSoft\Java Runtime Environment\1.8.0_401]
"JavaHome"="C:\\Program Files (x86)\\Java\\jre-1.8"
"MicroVersion"="0"
"RuntimeLib"="C:\\Program Files (x86)\\Java\\jre-1.8\\bin\\client\\jvm.dll"
''', {}, [(r"C:\Program Files (x86)\Java\jre-1.8", "1.8.0_401")], 0,
        LM + r"\SOFTWARE\JavaSoft\Java Runtime Environment\1.8.0_401 (32-bit view)",
        dict(jvmMinVersion="8")),
    "current_user": (r'''
[HKEY_CURRENT_USER\SOFTWARE\JavaSoft\JDK]
"CurrentVersion"="21.0.1"
[HKEY_CURRENT_USER\SOFTWARE\JavaSoft\JDK\21.0.1]
"JavaHome"="C:\\users\\Public\\Java\\jdk-21.0.1"
''', {}, [(r"C:\users\Public\Java\jdk-21.0.1", "21.0.1")], 0,
        CU + r"\SOFTWARE\JavaSoft\JDK\21.0.1", dict(jvmMinVersion="17")),
    "eclipse_adoptium": (r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\Eclipse Adoptium\JDK\17.0.9.9\hotspot\MSI]
"Path"="C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot\\"
"Main"=dword:00000001
"EnvironmentPath"=dword:00000001
"JavaHome"=dword:00000000
''', {}, [(r"C:\Program Files\Eclipse Adoptium\jdk-17.0.9.9-hotspot", "17.0.9")], 0,
        LM + r"\SOFTWARE\Eclipse Adoptium\JDK\17.0.9.9\hotspot\MSI (64-bit view)",
        dict(jvmMinVersion="17")),
    "azul_zulu": (r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\Azul Systems\Zulu\zulu-21]
"InstallationPath"="C:\\Program Files\\Zulu\\zulu-21\\"
"CurrentVersion"="21.30.15"
''', {}, [(r"C:\Program Files\Zulu\zulu-21", "21.0.1")], 0,
        LM + r"\SOFTWARE\Azul Systems\Zulu\zulu-21 (64-bit view)", dict(jvmMinVersion="17")),
    "microsoft": (r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\JDK\17.0.10.7\hotspot\MSI]
"Path"="C:\\Program Files\\Microsoft\\jdk-17.0.10.7-hotspot\\"
"Main"=dword:00000001
''', {}, [(r"C:\Program Files\Microsoft\jdk-17.0.10.7-hotspot", "17.0.10")], 0,
        LM + r"\SOFTWARE\Microsoft\JDK\17.0.10.7\hotspot\MSI (64-bit view)",
        dict(jvmMinVersion="17")),
    "java_home_only": (None, {"JAVA_HOME": r"C:\tools\jdk-21.0.2"},
                       [(r"C:\tools\jdk-21.0.2", "21.0.2")], 0, "JAVA_HOME",
                       dict(jvmMinVersion="11")),
    "path_only": (None, {"WINEPATH": r"C:\tools\jdk-17.0.8\bin"},
                  [(r"C:\tools\jdk-17.0.8", "17.0.8")], 0,
                  r"PATH C:\tools\jdk-17.0.8\bin\javaw.exe", dict(jvmMinVersion="11")),
    # A minimum of 11 with 9.0.4 and 11.0.2: by text 9.0.4 came first and
    # passed; by number it is older and never accepted.
    "minimum_11_passes_over_9": (r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\9.0.4]
"JavaHome"="C:\\Program Files\\Java\\jdk-9.0.4"
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\JDK\11.0.2]
"JavaHome"="C:\\Program Files\\Java\\jdk-11.0.2"
''', {}, [(r"C:\Program Files\Java\jdk-9.0.4", "9.0.4"),
          (r"C:\Program Files\Java\jdk-11.0.2", "11.0.2")], 1,
        LM + r"\SOFTWARE\JavaSoft\JDK\11.0.2 (64-bit view)", dict(jvmMinVersion="11")),
    # 1.8.0_401 is newer than 1.8.0_91 and is tried first; a required 8
    # stands for both.
    "update_401_before_91": (r'''
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\Java Runtime Environment\1.8.0_91]
"JavaHome"="C:\\Program Files\\Java\\jre1.8.0_91"
"MicroVersion"="0"
[HKEY_LOCAL_MACHINE\SOFTWARE\JavaSoft\Java Runtime Environment\1.8.0_401]
"JavaHome"="C:\\Program Files\\Java\\jre1.8.0_401"
"MicroVersion"="0"
''', {}, [(r"C:\Program Files\Java\jre1.8.0_91", "1.8.0_91"),
          (r"C:\Program Files\Java\jre1.8.0_401", "1.8.0_401")], 1,
        LM + r"\SOFTWARE\JavaSoft\Java Runtime Environment\1.8.0_401 (64-bit view)",
        dict(jvmRequiredVersion="8")),
}


@pytest.mark.parametrize("name", list(SCENARIOS))
def test_each_source_finds_its_jvm_and_the_wizard_starts_on_it(wine, workdir, name):
    text, env, homes, chosen, where, limits = SCENARIOS[name]
    jvms = [stub_jvm_at(wine, home, version) for home, version in homes]
    if text:
        wine.reg_import(text.strip() + "\n")
    layout(wine, workdir, control_text(**limits, **WIZARD_CONTROL))

    # No JAVA_HOME of the host machine reaches the run unless wanted.
    assert run_launcher(wine, workdir, "-q", "x", env=dict({"JAVA_HOME": ""}, **env)) == 0

    for i, jvm in enumerate(jvms):
        if i == chosen:
            assert jvm.kinds() == ["test", "wizard"]
        else:
            assert jvm.runs() == []  # older, never tried
    texts = trace_texts(workdir)
    assert f"JVM found under {where}" in texts
    assert "Java wizard launched successfully" in texts
    assert f"Found correct version of JVM: {homes[chosen][0]}\\bin\\javaw.exe" in texts
