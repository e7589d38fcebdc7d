#pragma once
// The one exception type: what an alert would have shown, carried off a
// worker thread so that the main thread can report it.

#include <string>

class exce_class {
public:
    exce_class();
    exce_class(std::string l1, std::string l2, std::string l3, std::string l4, const char* file, int line);
    exce_class(const exce_class&) = default;
    exce_class& operator=(const exce_class&) = default;
    virtual ~exce_class() = default;

    // On a worker: logs the object and asks the main loop to end, which then
    // shuts down (preferences written) on the main thread. Elsewhere: a type-1 alert.
    void ReportAndContinue();
    // Writes the object to the log and returns.
    void LogAndContinue();

    std::string line1, line2, line3, line4;
    const char* file;  // a string literal of the raising code; never owned
    int line;
};
