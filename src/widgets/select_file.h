// select_file: the file-select field: a chooser button, a framed field showing the last component of
// a path, and the label's two parts. A click on the button opens the system's folder chooser and
// stores the folder chosen; the std::string form does the work, the char-buffer form wraps it.
// Invariant: the path changes only when the chooser answers with a folder; a cancel leaves it.
#pragma once

#include <string>

int BTN_select_file_stl(float x, float y, int open_save, int file_path, int file_type, std::string* path,
                        std::string label);
int BTN_select_file_chr(float x, float y, int open_save, int file_path, int file_type, char* path, int path_size,
                        std::string label);
