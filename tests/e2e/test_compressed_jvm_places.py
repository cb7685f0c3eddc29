"""Where the package's compressed JVM lies and where the package itself was unpacked."""
import pytest

from conftest import read_text, stub
from launcher_support import cleanup_runs, error_texts, layout, run_launcher, trace_texts
from provision_support import (BUNDLE_CONTROL, JvmAt, compressed_jvm, drive_root,
                               expansion_dirs, properties_text, provision_control)

NEW_HOME = "C:\\Program Files\\JavaSoft\\JRE1.6\\1.6.0"
WIZARD_DONE = "Java wizard launched successfully"


@pytest.mark.parametrize("at_root, archive_dir, install_dir", [
    # The JVM goes into R:\jvm and is removed again at clean-up.
    (True, "", "[$AppDir]\\jre"),
    (True, "jvm", None),
    (False, "", None),
], ids=["root-temporary-jvm", "root-archive-in-jvm", "archive-at-top"])
def test_compressed_jvm_named_by_its_path(wine, tmp_path, at_root, archive_dir, install_dir):
    if at_root:
        work, work_name = drive_root(wine, tmp_path / "drive_r"), "R:\\"
    else:
        work, work_name = wine.drive_c / "work", "C:\\work"
        work.mkdir()
    start = wine.drive_c / "start"
    start.mkdir()
    layout(wine, work, provision_control(BUNDLE_CONTROL, jvmSelfExtractor="jvm/jre-win.exe",
                                         predefinedJvmInstallDir=install_dir))
    (work / "cleanup.exe").write_bytes(stub("cleanupstub").read_bytes())
    (work / "startdir.txt").write_bytes(b"C:\\start\r\n")
    archive = work / archive_dir
    archive.mkdir(exist_ok=True)
    compressed_jvm(wine, archive, version="1.6.0")

    assert run_launcher(wine, work, "-q", "x") == 0

    texts = trace_texts(work)
    assert "extractJvm ok: true" in texts and WIZARD_DONE in texts, texts
    assert error_texts(work) == []
    if install_dir:
        # Expanded into the work directory's jvm subdirectory, which the clean-up removed; the trace
        # shows the properties read back.
        assert expansion_dirs(archive) == [work_name + "jvm"]
        assert "jvmInstalledInTemp true" in texts
        assert not (work / "jvm").exists()
    else:
        assert expansion_dirs(archive) == [NEW_HOME]
        jvm = JvmAt(wine, NEW_HOME)
        assert jvm.kinds() == ["test", "wizard"]
        # The test class is handed the work directory itself, the wizard runs there and finds
        # native.properties there.
        test_run, wizard_run = jvm.runs()
        assert test_run["args"][-1] == work_name
        assert wizard_run["cwd"] == work_name
        assert jvm.properties() == properties_text(NEW_HOME, installed=True)
    # The clean-up happened in the work directory: the package's files are gone, the logs are in the
    # start directory, and the clean-up program was handed the work directory.
    for name in ("native.properties", "install.jar", "jinstall.sem", "startdir.txt"):
        assert not (work / name).exists(), name
    assert read_text(start / "jinstall.log") == read_text(work / "jinstall.log")
    assert cleanup_runs(work, 30) == ["RUN", "ARG " + work_name]
