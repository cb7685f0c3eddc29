// Command-line reading. The arguments string is cut into words at single
// blanks (two blanks in a row give an empty word). Only a word followed by a
// blank can be a switch, so a switch counts only when another word follows
// it; both switches share one argument, the first argument word after the
// first switch, which may span several words inside double quotes.
#include "shell/cmdline.h"
#include "base/strbuf.h"

#include <string.h>

static const char QuietSwitch[] = "-q";
static const char PropertiesSwitch[] = "-s";
static const char CheckSwitch[] = "--check";
static const char HelpSwitch[] = "--help";
static const char HelpQuestion[] = "/?";

// Length of the word starting at word (up to the next blank or the end).
static size_t wordLength(const char* word) {
    const char* blank = strchr(word, ' ');
    return blank ? (size_t)(blank - word) : strlen(word);
}

static bool isWord(const char* word, size_t length, const char* text) {
    return length == strlen(text) && strncmp(word, text, length) == 0;
}

// Whether the arguments are the one word text, blanks around it allowed.
static bool isOnlyWord(const char* arguments, const char* text) {
    if (!arguments) return false;
    while (*arguments == ' ' || *arguments == '\t') ++arguments;
    size_t length = strlen(text);
    if (strncmp(arguments, text, length) != 0) return false;
    for (const char* rest = arguments + length; *rest; ++rest)
        if (*rest != ' ' && *rest != '\t') return false;
    return true;
}

bool isCheckStart(const char* arguments) { return isOnlyWord(arguments, CheckSwitch); }

bool isHelpStart(const char* arguments) {
    return isOnlyWord(arguments, HelpSwitch) || isOnlyWord(arguments, HelpQuestion);
}

bool isQuietStart(const char* arguments) {
    if (!arguments) return false;
    const char* word = arguments;
    for (;;) {
        size_t length = wordLength(word);
        if (word[length] != ' ') return false;  // the last word is never examined
        if (isWord(word, length, QuietSwitch) || isWord(word, length, PropertiesSwitch))
            return true;
        word += length + 1;
    }
}

// Position of the first double quote in the word, or length when none.
static size_t quoteIn(const char* word, size_t length) {
    const void* quote = memchr(word, '"', length);
    return quote ? (size_t)((const char*)quote - word) : length;
}

// One argument word (after a switch): starts the argument or, while in
// quotes, continues it.
static void takeArgumentWord(const char* word, size_t length, char* argument, size_t cap,
                             bool* inQuotes) {
    if (argument[0] == '\0') {
        size_t quote = quoteIn(word, length);
        if (quote < length) {
            word += quote + 1;
            length -= quote + 1;
            *inQuotes = true;
            size_t second = quoteIn(word, length);
            if (second < length) {
                length = second;
                *inQuotes = false;
            }
        }
        copyTextN(argument, cap, word, length);
        return;
    }
    if (!*inQuotes) return;
    size_t quote = quoteIn(word, length);
    if (quote < length) {
        length = quote;
        *inQuotes = false;
    }
    appendText(argument, cap, " ");
    size_t used = strlen(argument);
    if (used + 1 < cap) copyTextN(argument + used, cap - used, word, length);
}

void parseCommandLine(const char* arguments, bool* quiet, bool* properties, char* argument,
                      size_t cap) {
    *quiet = false;
    *properties = false;
    if (cap) argument[0] = '\0';
    if (!arguments || !cap) return;
    bool inQuotes = false;
    const char* word = arguments;
    for (;;) {
        size_t length = wordLength(word);
        bool last = word[length] != ' ';
        bool switchSeen = *quiet || *properties;
        if (last) {
            if (switchSeen && length > 0) takeArgumentWord(word, length, argument, cap, &inQuotes);
            return;
        }
        if (isWord(word, length, QuietSwitch)) {
            *quiet = true;
        } else if (isWord(word, length, PropertiesSwitch)) {
            *properties = true;
        } else if (switchSeen) {
            takeArgumentWord(word, length, argument, cap, &inQuotes);
        }
        word += length + 1;
    }
}
