// The line reader of base/textline.h.
#include "base/textline.h"

void trimLineEnd(char* text, size_t keep) {
    size_t length = strlen(text);
    while (length > keep &&
           (text[length - 1] == ' ' || text[length - 1] == '\r' || text[length - 1] == '\n'))
        text[--length] = '\0';
}

bool readLimitedLine(FILE* file, char* line, int readLimit) {
    line[0] = '\0';
    if (!fgets(line, readLimit, file)) return false;
    char* feed = strchr(line, '\n');
    if (feed) {
        *feed = '\0';
    } else {
        int c;
        while ((c = fgetc(file)) != EOF && c != '\n') {
        }
    }
    return true;
}
