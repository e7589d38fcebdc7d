// The window and input record and the typed-text globals; zero-filled at load.
#include "core/mnw.h"

mnw_class mnw;
std::string stl_input;
int return_hit;
