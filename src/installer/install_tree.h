// install_tree: folder preparation before an install, the listing-format exit, and the path
// helpers that the listing reader, the decisions, the engine and the release builder share.
// Called by the installer screen (INSTALL), the server-list reader and read_directory.
// Invariant: folders are only ever created inside dest_dir_path (or as its own ancestors).
#pragma once

#include <string>

// Creates the install folder with its ancestors, the folders of every wanted file, the fixed
// Output and preferences folders, and moves plug-in framework folders aside that should be links.
void make_dirs();

// Message alert naming the folder that could not be created; the install goes on.
void make_dir_error(std::string path, int err);

// Explains that the release uses a newer format, opens the download page and ends the program.
void new_format(std::string path);

// Removes the first component (the release's platform folder) of a listed path in place.
void trim_dest_folder(std::string& path);

// 1 when the path names a folder rather than a file (ends in ':' or '/'); 0 for an empty path.
[[nodiscard]] int path_has_no_file(const std::string& path);

// Kept as the empty hook the design has.
void make_shortcut();

// The local path of a listed path: dest_dir_path followed by the path without its platform folder.
[[nodiscard]] std::string local_path_of(const std::string& listed_path);

// Folder part of a path: up to and including the last separator found scanning back from the
// second-to-last character; empty when there is none.
[[nodiscard]] std::string folder_of(const std::string& path);

// File part of a path: what follows its folder_of part (the whole path when that is empty).
[[nodiscard]] std::string leaf_of(const std::string& path);
