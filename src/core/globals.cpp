#include "core/globals.h"

#include <cstdint>

// Construction order follows the order of definition in this file.
std::string no_install_name = "Not Yet Scanned";
std::string ear_path = "Resources:Earth nav data:";
std::string mar_path = "Resources:Mars nav data:";
std::string stl_global;
std::string g_file[listing_capacity];
std::string g_path_rel[listing_capacity];
std::string app_path;
std::string dvd_path;
std::string wrk_path;
std::ofstream ouf;
std::ofstream xer;
std::ofstream cyc;
std::ofstream dat;
stls_class stls;

int g_file_type[listing_capacity];
int g_case_sensitive = 0;
std::atomic<int> app_done{0};
float randrat[10000];
float lookup_sin[361];
float lookup_cos[361];

alignas(16) unsigned char scratch_array_storage[scratch_array_bytes + 16];
// Aligned already at load, so code run before start-up never sees null.
unsigned char* scratch_array = scratch_array_storage;
int scratch_dx = 0;
int scratch_dy = 0;
int mapped_files_open = 0;

void scratch_array_align()
{
    auto address = reinterpret_cast<std::uintptr_t>(scratch_array_storage);
    scratch_array = scratch_array_storage + ((16 - (address & 15)) & 15);
}

std::string& stls_class::operator[](int number)
{
    if (number < 0 || number >= text_count) {
        spare_.clear();
        return spare_;
    }
    return text[number];
}
