// Every name the launcher gives or looks for on disk, once: the package's
// files and what the launcher writes beside them in the work directory, its
// markers and probes, its logs, the keys of native.properties, and the
// folder and program names of a JVM and of Windows that paths are built
// from. Every layer names a file through these; the same text spelt out
// anywhere else would be a second name for it that could drift.
//
// Inline variables: one copy in the program, however many files use one.
#ifndef BASE_DISKNAMES_H
#define BASE_DISKNAMES_H

// What joins a directory and a name in a path.
inline constexpr char PathSeparator[] = "\\";

// The package's files in the work directory, as its author lays them out.
inline constexpr char ControlFile[] = "kiv.control";
inline constexpr char WizardJarFile[] = "install.jar";
inline constexpr char DefaultClasspath[] = ".;install.jar";  // unless the control file says
inline constexpr char TestJvmClassFile[] = "TestJvm.class";
inline constexpr char CleanupProgramFile[] = "cleanup.exe";

// What the launcher writes in the work directory for the wizard and the clean-up.
inline constexpr char NativePropertiesFile[] = "native.properties";
inline constexpr char StartDirFile[] = "startdir.txt";
inline constexpr char ChangesFile[] = "changes.txt";  // the record of changed system files
inline constexpr char CleanupCopyFile[] = "__cleanup.exe";

// Markers: files whose presence says something.
inline constexpr char WizardMarkerFile[] = "__kivwizard.sem";  // the wizard has started
inline constexpr char WaitInstallFile[] = "__kivinstall.sem";  // the installation runs
inline constexpr char OwnTraceMarkerFile[] = "jinstall.sem";   // this run made the trace

// Probes and temporary names of the launcher's own.
inline constexpr char WriteProbeFile[] = "__kivtest.zos";     // may the work directory be written
inline constexpr char WriteProbeDirPrefix[] = "__kivprobe";   // may Program Files be written
inline constexpr char TempFilePrefix[] = "kiv";               // a temporary file's name
inline constexpr char CheckDirPrefix[] = "kivcheck";          // the package check's JVM test
inline constexpr char CopyInProgressSuffix[] = ".__kivcopy";  // a copy before it replaces its file
inline constexpr char NewCopySuffix[] = ".__kivnew";          // a system file's new copy
inline constexpr char BackupSuffix[] = ".001";                // a replaced system file's backup

// The JVM test: the class's results, and where they go when the work
// directory's cannot be written.
inline constexpr char TestJvmResultsFile[] = "jvmGood.txt";
inline constexpr char PrivateResultsFolder[] = "__kivjvmtest";

// A JVM staged before it takes its place, and one in the work directory.
inline constexpr char StageFolderPrefix[] = "~kivstage-";
inline constexpr char StageLockFile[] = "stage.lock";
inline constexpr char StagedJvmRecordFile[] = "__kivjvm.txt";
inline constexpr char WorkJvmFolder[] = "jvm";

// Logs in the work directory.
inline constexpr char TraceLog[] = "jinstall.log";
inline constexpr char ErrorsLog[] = "errors.log";
inline constexpr char TermLog[] = "term.log";      // while it exists, the trace goes to stdout too
inline constexpr char LocaleLog[] = "locale.log";  // while it exists, the language decision
inline constexpr char PackageCheckLog[] = "check.log";  // the package check's verdict
inline constexpr char ExpansionLog[] = "kivpand.log";

// The keys of native.properties (the last one is also the control file's).
inline constexpr char NativeJvmHomeDirKey[] = "nativeJvmHomeDir";
inline constexpr char NativeJvmInstalledKey[] = "nativeJvmInstalled";
inline constexpr char NativeJvmInstalledInTempKey[] = "nativeJvmInstalledInTemp";
inline constexpr char NativeTempJvmDirKey[] = "nativeTempJvmDir";
inline constexpr char ConfigureWinRegistryKey[] = "configureWinRegistry";
inline constexpr char AppDirVariable[] = "[$AppDir]";  // in a value: the package's own folder

// A JVM's folders and files.
inline constexpr char BinFolder[] = "bin";
inline constexpr char LibFolder[] = "lib";
inline constexpr char SecurityFolder[] = "security";
inline constexpr char JavaSecurityFile[] = "java.security";
inline constexpr char ReleaseFile[] = "release";
inline constexpr char JvmDllFile[] = "jvm.dll";
inline constexpr char ManifestFolder[] = "META-INF";  // of a jar, as expanded
inline constexpr char ManifestFile[] = "META-INF\\MANIFEST.MF";

// A JVM's programs: today's names and the old ones, bare and with ".exe".
inline constexpr char JavaProgram[] = "java";
inline constexpr char JavawProgram[] = "javaw";
inline constexpr char JreProgram[] = "jre";
inline constexpr char JrewProgram[] = "jrew";
inline constexpr char JavaExe[] = "java.exe";
inline constexpr char JavawExe[] = "javaw.exe";
inline constexpr char JreExe[] = "jre.exe";
inline constexpr char JrewExe[] = "jrew.exe";
inline constexpr char ExeExtension[] = ".exe";
inline constexpr char ClassExtension[] = ".class";

// Windows's folders and files the launcher builds paths with.
inline constexpr char DefaultProgramFilesFolder[] = "C:\\Program Files";
inline constexpr char ProgramsFolder[] = "Programs";  // below the user's local application data
inline constexpr char JavaSoftFolder[] = "JavaSoft";  // below Program Files
inline constexpr char SystemFolder[] = "system";      // below the Windows directory
inline constexpr char ProfilesFolder[] = "profiles";  // the NT family's user profiles
inline constexpr char RuntimeDllFile[] = "msvcrt.dll";

#endif
