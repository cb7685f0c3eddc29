"""Runs of installer.exe on a disk that fills up under it (a small tmpfs mounted into the Wine
prefix): the package's and the user's files stay as they were and a failure says why; and the
program's own defence against a DLL planted beside it."""
import re
import struct
import subprocess

import pytest

from conftest import INSTALLER, stub
from launcher_support import (JRE_KEY, JVM_BITS, JvmAt, StubJvm, bundle_control, compressed_jvm,
                              control_text, error_texts, layout, programs_dir, put, register,
                              run_launcher, trace_texts)


@pytest.fixture
def tmpfs(request):  # mount(path, size in bytes), as root; unmounted at the end
    def mount(path, size):
        path.mkdir(parents=True, exist_ok=True)
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", str(path)],
                       check=True)
        request.addfinalizer(lambda: subprocess.run(["umount", "-l", str(path)], check=False))
        return path
    return mount


def test_full_disk_leaves_the_jvm_its_own_policy(wine, workdir, tmpfs):
    # Fault: the JVM's policy was renamed to its backup before the package's copy was made; on a
    # full disk the copy failed and the JVM had none.
    home = programs_dir(JVM_BITS) + "\\JavaSoft\\Java Plug-in1.6\\1.6.0"
    javasoft = tmpfs(wine.unixpath(programs_dir(JVM_BITS)) / "JavaSoft",
                     2 * stub("stubjvm").stat().st_size + (1 << 20))
    policy = home + "\\lib\\security\\java.policy"
    layout(wine, workdir, bundle_control(
        jvmName="Java Plug-in", userSecurityPolicyFilename="${java.home}/lib/security/java.policy"))
    (workdir / "java.policy").write_bytes(b"// package policy\n" * (1 << 18))
    compressed_jvm(wine, workdir, version="1.6.0", files="lib\\security\\java.policy")

    assert run_launcher(wine, workdir, "-q", "x") == 0

    assert JvmAt(wine, home).kinds() == ["test", "wizard"]
    assert wine.unixpath(policy).read_text() == "expanded lib\\security\\java.policy\n"
    assert not wine.unixpath(home + "\\lib\\security\\java.001").exists()
    assert f"Unable to copy security file {policy}" in error_texts(workdir)
    assert not list(javasoft.rglob("*.__kiv*"))


@pytest.mark.parametrize("free", [0, 4096, 8192])
def test_full_disk_never_gives_the_wizard_an_incomplete_properties_file(wine, workdir, tmpfs,
                                                                       free):
    # Fault: the disk filled up under native.properties; the wizard got an empty file, the launch
    # was reported a success and the reason was recorded nowhere. The stub's test run fills it up.
    tmpfs(workdir, 4 << 20)
    jvm = StubJvm(wine, "C:\\jvms\\jre160", "1.6.0_31", fill="C:\\work\\filler.bin", free=free)
    register(wine, [(JRE_KEY, "1.6.0_31", "0", jvm.winhome)])
    layout(wine, workdir, control_text(jvmMinVersion="1.4", jvmCommandName="javaw.exe"),
           trace=False)

    assert run_launcher(wine, workdir, "-q", "x", timeout=60) == 0

    errors = error_texts(workdir)
    if jvm.wizard_runs():
        # Room enough: the wizard had the whole file.
        assert jvm.properties().endswith(b"configureWinRegistry=true\r\n") and free > 0
    else:
        # The reason waited for the room the clean-up made, and is in the log.
        assert errors[0] == "Unable to write native.properties"
        assert any(t.startswith("Unable to start the install wizard.") for t in errors)
        assert not (workdir / "native.properties").exists()


def test_a_failed_start_reads_the_same_for_a_test_run_and_for_the_wizard(wine, workdir):
    # Fault: the JVM's test run and the wizard's start each turned the Windows error into an errno
    # of their own, and the tables disagreed (access denied, a network path, a program for another
    # machine: "Unknown error" for the wizard). One JVM is no program from the start; the other
    # stops being one after its test run, so that the wizard's start fails the same way.
    put(wine.drive_c, {"jvms/broken/bin/javaw.exe": b"not a program"})
    jvm = StubJvm(wine, "jre160", "1.6.0_31", breaks=1)
    register(wine, [(JRE_KEY, "1.6.0_45", "0", r"C:\jvms\broken"),
                    (JRE_KEY, "1.6.0_31", "0", jvm.winhome)])
    layout(wine, workdir, control_text(jvmMinVersion="1.4", jvmCommandName="javaw.exe"))

    run_launcher(wine, workdir, "-q", "x")

    assert jvm.kinds() == ["test"]
    words = "Windows error 193: Bad EXE format for "
    assert f"Error running JVM: {words}C:\\jvms\\broken\\bin\\javaw.exe: false" in trace_texts(
        workdir)
    assert f"Error running JVM installer: {words}{jvm.winhome}\\bin\\javaw.exe: false" in \
        error_texts(workdir)


def test_program_takes_its_imports_from_the_system_directory_alone():
    # A DLL planted beside installer.exe (a download folder) under the name of one it imports is
    # never loaded: the load configuration tells the loader to search the system directory only,
    # before any line of the launcher runs. It imports only DLLs the loader knows as system DLLs.
    data = INSTALLER.read_bytes()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    optional = header + 24
    wide = struct.unpack_from("<H", data, optional)[0] == 0x20B
    rva, size = struct.unpack_from("<II", data, optional + (112 if wide else 96) + 8 * 10)
    config = data[file_offset(data, rva):]
    assert size == (struct.unpack_from("<I", config)[0] if wide else 64)
    flags_at = 0x4E if wide else 0x36  # DependentLoadFlags, after CSDVersion
    assert struct.unpack_from("<H", config, flags_at)[0] == 0x800  # LOAD_LIBRARY_SEARCH_SYSTEM32
    imports = subprocess.run(["objdump", "-p", str(INSTALLER)], capture_output=True, text=True,
                             check=True).stdout
    assert {n.lower() for n in re.findall(r"DLL Name: (\S+)", imports)} <= {
        "kernel32.dll", "advapi32.dll", "msvcrt.dll", "user32.dll", "gdi32.dll"}, imports


def file_offset(data, rva):
    header = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H12xH", data, header + 6)
    for index in range(count):
        size, address, _, raw = struct.unpack_from("<IIII", data,
                                                   header + 24 + optional_size + 40 * index + 8)
        if address <= rva < address + size:
            return raw + rva - address
    raise AssertionError(f"RVA {rva:#x} in no section")
