#pragma once
// Reference trees for the release builder, and a runner for the real
// veltrix-release-builder executable.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/temp_folder.h"

// The folders and files every reference tree must hold.
inline void make_required_entries(const std::string& root)
{
    namespace fs = std::filesystem;
    for (const char* folder :
         {"All/Aircraft", "All/Airfoils", "All/Instructions", "All/Output", "All/Weapons", "All/Custom Scenery",
          "All/Resources/plugins", "All/Resources/default scenery/820 world terrain", "All/Resources/menus/English",
          "All/Resources/text/English", "Macintosh", "Windows", "Linux Generic x86", "Linux Pentium 3",
          "Linux Athlon XP"})
        fs::create_directories(root + "/" + folder);
    test::write_file(root + "/All/Resources/menus/English/Veltrix.txt", "menus\n");
    test::write_file(root + "/All/Resources/text/English/Veltrix.txt", "texts\n");
}

struct run_result {
    int status = -1;
    std::string output;  // standard output and standard error together
};

inline std::string builder_program()
{
    const char* binary = std::getenv("VELTRIX_BINARY_DIR");
    return std::string(binary ? binary : ".") + "/bin/veltrix-release-builder";
}

// Runs the builder with the arguments (each quoted for the shell), from the given working folder.
inline run_result run_builder(const std::vector<std::string>& args, const std::string& working_folder = ".")
{
    std::string command = "cd '" + working_folder + "' && VELTRIX_HEADLESS=1 '" + builder_program() + "'";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " 2>&1";
    run_result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        result.output.append(buffer, got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
