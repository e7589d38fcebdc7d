#pragma once
// part_files: a file is replaced whole or not at all. New contents go into a part file beside
// the target, which is renamed over the target only once complete; extraction and the fork
// sidecars write this way. Part files are named ".veltrix-part-<pid>-<n>", so a later run can
// tell a leftover of a run that ended (killed mid-write) from one still being written.
// Invariant: a part_file object that is not committed leaves no file behind.

#include <sys/types.h>

#include <string>

#include "platform/owners.h"

namespace plat {

// Every part file's name starts so; nothing else of ours does.
constexpr const char part_file_prefix[] = ".veltrix-part-";

// The folder a part file for target goes in, as part_file and replace_with_link take it: target's
// path up to and including its last '/', or empty for a bare name (the current folder).
[[nodiscard]] std::string part_folder(const std::string& target);

// Writes all of the bytes, taking short writes and interruptions in stride: 0 or the errno.
[[nodiscard]] int write_all(int fd, const void* data, size_t length);

// Removes the part files that processes which no longer run left in folder (a path ending in
// '/', or empty for the current folder); those of a running process, ours or another's, stay.
// Only the first call for a folder looks; later calls for the same folder do nothing. Returns how
// many were removed.
int remove_leftover_part_files(const std::string& folder);

class part_file {
public:
    // Creates a new, empty part file in folder (ending in '/', or empty), mode 0666 less the
    // umask; error() tells why when none could be made. Leftovers there are removed first.
    explicit part_file(const std::string& folder);
    // Removes the file unless it was committed.
    ~part_file();
    part_file(const part_file&) = delete;
    part_file& operator=(const part_file&) = delete;

    // 0, or the errno with which the file could not be made.
    int error() const { return error_; }
    const std::string& path() const { return path_; }

    // 0 or the errno of the write.
    [[nodiscard]] int write(const void* data, size_t length);
    // Gives the file its mode bits before it takes the target's place: 0 or the errno.
    [[nodiscard]] int set_mode(mode_t mode);
    // Closes the file and renames it over target: 0, or the errno of the close or the rename,
    // and then the target is as it was and the part file gone.
    [[nodiscard]] int commit(const std::string& target);

private:
    descriptor file_;
    int error_ = 0;
    std::string path_;
};

// Makes a symbolic link with the given text under a part name in folder and renames it over
// target, so that target is the old entry or the new link, never nothing. 0 or the errno.
[[nodiscard]] int replace_with_link(const std::string& folder, const std::string& text, const std::string& target);

}  // namespace plat
