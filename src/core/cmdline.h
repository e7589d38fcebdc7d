#pragma once
// The program's command-line options: name -> value, every option echoed to the log.

#include <map>
#include <string>

class UTL_cmdline {
public:
    // argv[0], the program's own path, is skipped.
    void init_unix(int argc, const char* const* argv);
    // One command string, options separated by white space.
    void init_win(const char* text);
    int has_option(const char* name) const;

    // The value of an option, "" when absent.
    std::string value(const std::string& name) const;
    size_t size() const { return options.size(); }

private:
    void store(const std::string& name, const std::string& value);

    std::map<std::string, std::string> options;
};

extern UTL_cmdline cmdline;
