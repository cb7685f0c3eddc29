// TestJvm: the package's test class. The launcher runs it on every JVM it
// considers, as "<jvm> -cp . TestJvm <work directory>", and reads back
// "jvmGood.txt": its first line holds the running JVM's version with no
// other digit on that line, its second line "java.home=" and the running
// JVM's home, in UTF-8. A host system's JVM run under Wine has a Unix home;
// it is written as the Windows path that names it through the prefix's
// dosdevices links (the longest that leads to it).
//
// The launcher passes the directory unquoted, so a directory that holds
// blanks arrives split over several arguments; they are joined again with
// single blanks. A JVM of the host system run under Wine receives a Windows
// path (C:\work, Z:\tmp\x): when the path does not exist as given, its drive
// letter is mapped through the Wine prefix's dosdevices links. As a last
// resort the file goes into the current directory, which is the work
// directory on every run the launcher makes.

import java.io.File;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.OutputStreamWriter;
import java.io.Writer;

public class TestJvm {
    static final String ResultsFilename = "jvmGood.txt";

    public static void main(String[] args) {
        File dir = resultsDirectory(join(args));
        String version = System.getProperty("java.version", "");
        String home = windowsName(System.getProperty("java.home", ""));
        try {
            write(new File(dir, ResultsFilename), version, home);
        } catch (IOException e) {
            try {
                write(new File(ResultsFilename), version, home);
            } catch (IOException again) {
                System.err.println("TestJvm: cannot write " + ResultsFilename + ": " + again);
                System.exit(1);
            }
        }
    }

    static String join(String[] words) {
        StringBuilder joined = new StringBuilder();
        for (int i = 0; i < words.length; i++) {
            if (i > 0) joined.append(' ');
            joined.append(words[i]);
        }
        return joined.toString();
    }

    static void write(File file, String version, String home) throws IOException {
        Writer out = new OutputStreamWriter(new FileOutputStream(file), "UTF-8");
        try {
            out.write("java version \"" + version + "\"\n");
            if (home.length() > 0) out.write("java.home=" + home + "\n");
        } finally {
            out.close();
        }
    }

    // The directory to write into: as given when it exists, else the Unix
    // directory a Windows path names under Wine, else the current directory.
    static File resultsDirectory(String given) {
        if (given.length() == 0) return new File(".");
        File direct = new File(given);
        if (direct.isDirectory()) return direct;
        File mapped = fromWinePath(given);
        if (mapped != null && mapped.isDirectory()) return mapped;
        return new File(".");
    }

    // A Unix home as the Windows path of the drive whose dosdevices link
    // leads closest to it; any other home as it is.
    static String windowsName(String home) {
        if (!home.startsWith("/") || File.separatorChar != '/') return home;
        File[] drives = dosdevices().listFiles();
        String target = canonical(new File(home));
        if (drives == null || target == null) return home;
        String best = null;
        int bestLength = -1;
        for (File drive : drives) {
            String name = drive.getName();
            if (name.length() != 2 || name.charAt(1) != ':' || !Character.isLetter(name.charAt(0)))
                continue;
            String root = canonical(drive);
            if (root == null) continue;
            String base = root.endsWith("/") ? root : root + "/";
            boolean inside = target.equals(root) || target.startsWith(base);
            if (!inside || root.length() <= bestLength) continue;
            String rest = target.length() > base.length() ? target.substring(base.length()) : "";
            best = Character.toUpperCase(name.charAt(0)) + ":\\" + rest.replace('/', '\\');
            bestLength = root.length();
        }
        return best != null ? best : home;
    }

    static String canonical(File file) {
        try {
            return file.getCanonicalPath();
        } catch (IOException e) {
            return null;
        }
    }

    static File dosdevices() {
        String prefix = System.getenv("WINEPREFIX");
        if (prefix == null || prefix.length() == 0)
            prefix = System.getProperty("user.home") + "/.wine";
        return new File(prefix, "dosdevices");
    }

    static File fromWinePath(String path) {
        if (path.length() < 2 || path.charAt(1) != ':' || !Character.isLetter(path.charAt(0)))
            return null;
        String drive = Character.toLowerCase(path.charAt(0)) + ":";
        File root = new File(dosdevices(), drive);
        String rest = path.substring(2).replace('\\', '/');
        while (rest.startsWith("/")) rest = rest.substring(1);
        return rest.length() == 0 ? root : new File(root, rest);
    }
}
