// SearchStages: what the search for an installed JVM tells the person
// waiting for it, the candidate it is proving. The installation implements
// it and forwards it to the user channel; the JVM classes only call it.
#ifndef JVM_SEARCHSTAGES_H
#define JVM_SEARCHSTAGES_H

class SearchStages {
public:
    // The candidate numbered number (from 1) of count is being proved.
    virtual void checking(unsigned number, unsigned count) = 0;

protected:
    ~SearchStages() {}
};

#endif
