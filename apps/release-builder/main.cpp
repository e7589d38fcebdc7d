// veltrix-release-builder: makes a release from a reference tree.
//
//   veltrix-release-builder [--previous <listing>] [--name <release name>] <reference tree> <output folder>
//
// Writes <output folder>/MY CONTAINER FOR <name>/<name>/ with one zip archive
// per file and "directory.txt.zip", plus "dvd_version.txt" beside it. The
// previous release's "directory.txt" gives each file its version history;
// without it the release starts with none. A rule violation in the tree ends
// the run with status 1 and the reason on standard error.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/globals.h"
#include "installer/builder.h"
#include "installer/engine.h"

namespace {

const char usage[] =
    "usage: veltrix-release-builder [--previous <listing>] [--name <release name>] <reference tree> <output "
    "folder>\n";

int wrong_arguments(const char* why)
{
    std::fprintf(stderr, "veltrix-release-builder: %s\n%s", why, usage);
    return 2;
}

std::string as_folder(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

bool is_folder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Paths given relative to the current folder are made absolute, since the
// builder compares full paths against its named entries.
std::string absolute(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char buffer[4096];
    if (getcwd(buffer, sizeof(buffer)) == nullptr)
        return path;
    return std::string(buffer) + "/" + path;
}

}  // namespace

int main(int argc, char** argv)
{
    // No hook table is set: the builder opens no window and runs no frame, so every layer keeps its
    // defaults, and an alert is the core's own (standard error, the log, status 1 when fatal).
    std::string previous;
    std::string name;
    std::string positional[2];
    int positional_count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--previous" || arg == "--name") {
            if (i + 1 >= argc)
                return wrong_arguments((arg + " needs a value").c_str());
            (arg == "--previous" ? previous : name) = argv[++i];
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(usage, stdout);
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            return wrong_arguments(("unknown option " + arg).c_str());
        } else if (positional_count < 2) {
            positional[positional_count++] = arg;
        } else {
            return wrong_arguments("too many arguments");
        }
    }
    if (positional_count != 2)
        return wrong_arguments("a reference tree and an output folder are needed");
    // The installer renames the install folder to the release name only when it is one plain
    // folder name; ':' and '\' separate folders in the program's paths as '/' does.
    if (!name.empty() && !is_plain_folder_name(name))
        return wrong_arguments("a release name cannot hold '/', ':' or '\\'");

    src_fold = as_folder(absolute(positional[0]));
    dst_fold_base = as_folder(absolute(positional[1]));
    if (!is_folder(src_fold))
        return wrong_arguments("the reference tree is not a folder");
    if (!is_folder(dst_fold_base) && mkdir(dst_fold_base.c_str(), 0755) != 0)
        return wrong_arguments("the output folder cannot be created");
    old_dir_path = previous.empty() ? std::string() : absolute(previous);
    if (!name.empty())
        sim_name = erth_build_name[0] = name;
    reg = 0;

    build_install();
    std::printf("%d files in %s%s/\n", num_files_com, dst_fold.c_str(), sim_name.c_str());
    return 0;
}
