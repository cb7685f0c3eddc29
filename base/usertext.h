// The launcher's texts for the user, by name: the boxes, their captions, the
// pointer to the logs, the status dialog's lines and the change record of
// the security files. Each text is a pattern whose values stand as %1 and
// %2. The English patterns are here; they are the wording of errors.log and
// of the trace, and the fallback of every other language (whose patterns
// are its file of config/languages/).
#ifndef BASE_USERTEXT_H
#define BASE_USERTEXT_H

#include <stddef.h>

enum UserText {
    TextDiskSpace,              // out of disk space? (the end of several boxes)
    TextOtherCauses,            // the list of other causes (a box's details)
    TextWizardNotStarted,       // the wizard did not come up
    TextUnableToInstall,        // "Unable to install application."
    TextJvmNotFound,            // %1 the JVM kind
    TextInstallJvmAndRestart,   // %1 the JVM kind, %2 its version text
    TextUnableToFindJvm,        // %1 the JVM kind, %2 its version text
    TextInstallTheJvm,
    TextUnableToInstallJvm,     // %1 the JVM kind, %2 its version
    TextVersionRange,           // %1 the lowest version, %2 the highest
    TextVersionOrLater,         // %1 the lowest version
    TextControlFileNotOpened,   // "Unable to open kiv.control"
    TextControlFileNotOpenedForReading,
    TextControlFileNotRead,
    TextErrorsLogNotSaved,
    TextTryWritableDrive,       // the details of TextErrorsLogNotSaved
    TextAlreadyRunning,         // another installation runs in the directory
    TextCaption,                // the caption of a box when no product is named
    TextErrorCaption,           // the caption of an error box: %1 the product (else TextCaption)
    TextSeeLogs,                // the pointer to the logs after a box's text
    TextMainClassMissing,       // %1 the wizard's main class
    TextWizardArchiveMissing,   // %1 the archive
    TextWizardEndedWithoutStarting,
    TextDownloadFailed,
    TextDownloadAddress,        // %1 the address (the details of TextDownloadFailed)
    TextPackageFaulty,          // %1 what is wrong
    TextDownloading,            // the status line during a download
    TextExpanding,              // the status line while the download is expanded
    TextProgressOf,             // %1 the bytes received, %2 all of them
    TextProvidedJvmRefused,     // %1 the version the new JVM reported, %2 the versions wanted
    TextJvmHomeMissing,         // %1 the JVM's home as the package names it, %2 what there is
    TextJvmFolderInTheWay,      // %1 the JVM's folder, %2 what it holds
    TextExpansionFailed,        // the archive arrived but could not be expanded
    TextElevationDeclined,      // %1 the JVM installer program
    TextUnpacking,              // the status line's first text
    TextLookingForJvm,          // the status line while installed JVMs are looked for
    TextCheckingJvm,            // %1 the candidate's number, %2 how many there are
    TextInstallingJvm,          // the status line while a JVM installer program runs
    TextStartingWizard,         // the status line as the wizard is started
    TextRenamedTo,              // the change record's words before a security file replaced
    UserTextCount
};

// A text's pattern in one language.
struct UserPattern {
    UserText name;
    const char* text;
};

// A value that is itself a named text with values of its own, as the
// version text "%1 or a later version" within a sentence: it is written in
// the language of the sentence. With the name UserTextCount it is the plain
// value first.
struct NestedText {
    UserText name;
    const char* first;
    const char* second;
};

// The English pattern of name ("" for a name out of range).
const char* englishPattern(UserText name);

// The pattern with %1 ... %9 replaced by the values (count of them; a value
// missing or null is empty) into out (cap bytes); false when cut. Any other
// "%" stays as it is.
bool fillPattern(char* out, size_t cap, const char* pattern, const char* const* values,
                 size_t count);

// The English text of name with its values, for errors.log and the trace.
bool englishText(char* out, size_t cap, UserText name, const char* first = nullptr,
                 const char* second = nullptr);

// The placeholders a pattern holds: bit n - 1 for %n.
unsigned placeholdersOf(const char* pattern);

// A text for the user made of named texts with their values, each joined to
// the one before by a plain separator (line ends or a blank), so that it can
// be written in English for the logs and in the user's language for a box.
// The values are copied (a longer one is cut).
class UserLines {
public:
    enum { MaxParts = 3, ValueSize = 600 };
    // A value of a part: the value itself, or a nested text's name and values.
    struct Value {
        UserText name;  // UserTextCount: text is the value
        char text[ValueSize];
        char second[ValueSize];
        // The English text of the value into out (cap bytes); false when cut.
        bool english(char* out, size_t cap) const;
    };
    struct Part {
        UserText name;
        const char* joint;  // before the part: a literal
        Value values[2];
    };

    UserLines() : count(0) {}
    void clear() { count = 0; }
    bool empty() const { return count == 0; }
    // Adds a part (nothing once MaxParts are there).
    void add(UserText name, const char* first = nullptr, const char* second = nullptr,
             const char* joint = "");
    // Adds a part whose second value is a nested text.
    void add(UserText name, const char* first, const NestedText& second, const char* joint = "");
    size_t size() const { return count; }
    const Part& part(size_t index) const { return parts[index]; }
    // The English text into out (cap bytes); false when cut.
    bool english(char* out, size_t cap) const;

private:
    Part parts[MaxParts];
    size_t count;
};

#endif
