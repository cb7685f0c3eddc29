// Progress of a long step the user waits for: the download of a JVM and the
// expansion of its archive. The status dialog shows it as a bar; a quiet run
// passes no observer at all.
#ifndef BASE_PROGRESS_H
#define BASE_PROGRESS_H

enum ProgressStage { ProgressDownload, ProgressExpand };

class Progress {
public:
    // done of total bytes of stage; total is 0 while it is not known.
    virtual void progress(ProgressStage stage, unsigned long long done,
                          unsigned long long total) = 0;

protected:
    ~Progress() {}
};

#endif
