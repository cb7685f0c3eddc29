// SampleWizard: a stand-in for the package's Java wizard (install.jar).
//
// It does what the launcher relies on a wizard to do: it reads
// "native.properties" from the work directory (its current directory),
// creates the marker "__kivwizard.sem" there to say it has started, and ends.
// What it was given - its arguments, the properties, whether CLASSPATH is
// set - goes to stdout and to "wizard-received.txt" in the work directory.

import java.io.File;
import java.io.FileInputStream;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStreamWriter;
import java.io.Writer;
import java.util.Properties;
import java.util.TreeSet;

public class SampleWizard {
    static final String PropertiesFilename = "native.properties";
    static final String MarkerFilename = "__kivwizard.sem";
    static final String ReportFilename = "wizard-received.txt";

    public static void main(String[] args) {
        StringBuilder report = new StringBuilder();
        for (String arg : args) report.append("ARG ").append(arg).append('\n');

        Properties properties = new Properties();
        File propertiesFile = new File(PropertiesFilename);
        if (propertiesFile.isFile()) {
            try {
                InputStream in = new FileInputStream(propertiesFile);
                try {
                    properties.load(in);
                } finally {
                    in.close();
                }
                for (String key : new TreeSet<String>(properties.stringPropertyNames()))
                    report.append("PROPERTY ").append(key).append('=')
                          .append(properties.getProperty(key)).append('\n');
            } catch (IOException e) {
                report.append("PROPERTIES unreadable ").append(e.getMessage()).append('\n');
            }
        } else {
            report.append("PROPERTIES missing\n");
        }

        String classpath = System.getenv("CLASSPATH");
        report.append("CLASSPATH ")
              .append(classpath == null || classpath.length() == 0 ? "unset" : "set " + classpath)
              .append('\n');

        try {
            new FileOutputStream(MarkerFilename).close();
        } catch (IOException e) {
            report.append("MARKER failed ").append(e.getMessage()).append('\n');
        }

        System.out.print(report);
        System.out.flush();
        try {
            Writer out = new OutputStreamWriter(new FileOutputStream(ReportFilename), "UTF-8");
            try {
                out.write(report.toString());
            } finally {
                out.close();
            }
        } catch (IOException e) {
            System.err.println("SampleWizard: cannot write " + ReportFilename + ": " + e);
        }
    }
}
