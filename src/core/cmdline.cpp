#include "core/cmdline.h"

#include "core/globals.h"

#include <cctype>

UTL_cmdline cmdline;

void UTL_cmdline::store(const std::string& name, const std::string& val)
{
    if (options.count(name))
        xer << "WARNING: command line option " << name << "=" << val << "included twice.\n";
    options[name] = val;
    xer << "     '" << name;
    if (!val.empty())
        xer << "'='" << val;
    xer << "'\n";
}

void UTL_cmdline::init_unix(int argc, const char* const* argv)
{
    if (argc < 2)
        return;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i] ? argv[i] : "";
        size_t eq = arg.find('=');
        if (eq == std::string::npos)
            store(arg, "");
        else
            store(arg.substr(0, eq), arg.substr(eq + 1));
    }
}

void UTL_cmdline::init_win(const char* text)
{
    if (!text)
        return;
    auto is_space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const char* p = text;
    while (*p) {
        while (*p && is_space(*p))
            p++;
        const char* name_start = p;
        while (*p && !is_space(*p) && *p != '=')
            p++;
        std::string name(name_start, p);
        if (*p == '=')
            p++;
        const char* value_start = p;
        while (*p && !is_space(*p))
            p++;
        std::string val(value_start, p);
        if (!name.empty())
            store(name, val);
    }
}

int UTL_cmdline::has_option(const char* name) const
{
    return options.count(name) ? 1 : 0;
}

std::string UTL_cmdline::value(const std::string& name) const
{
    auto it = options.find(name);
    return it == options.end() ? std::string() : it->second;
}
