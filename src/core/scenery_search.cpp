#include "core/scenery_search.h"

#include "core/globals.h"
#include "core/paths.h"
#include "core/scenery_library.h"

#include <algorithm>

namespace {

// An image name's own extension is replaced: a name this short has none to replace.
constexpr size_t EXTENSION_CHARS = 4;

struct image_names {
    std::string png;
    std::string bmp;
};

image_names image_names_of(const std::string& name)
{
    if (name.size() <= EXTENSION_CHARS)
        return {name, name};
    const std::string stem = name.substr(0, name.size() - EXTENSION_CHARS);
    return {stem + ".png", stem + ".bmp"};
}

bool is_object(int kind)
{
    return kind >= RESOURCE_OBJECT_FIRST && kind <= RESOURCE_OBJECT_LAST;
}

void add_image_candidates(const std::string& folder, const image_names& image, std::vector<std::string>& candidates)
{
    candidates.push_back(folder + image.png);
    candidates.push_back(folder + image.bmp);
}

void add_default_candidates(int kind, const std::string& name, const image_names& image,
                            std::vector<std::string>& candidates)
{
    if (kind == RESOURCE_PLAIN) {
        candidates.push_back("Resources:" + name);
    } else if (kind == RESOURCE_IMAGE) {
        add_image_candidates("Resources:bitmaps:terrain:", image, candidates);
        add_image_candidates("Resources:", image, candidates);
    } else if (kind == RESOURCE_TERRAIN) {
        candidates.push_back("Resources:bitmaps:terrain:" + name);
        candidates.push_back("Resources:" + name);
    } else if (is_object(kind)) {
        candidates.push_back(obj_path + name);
        candidates.push_back("Resources:" + name);
    }
}

// Normalises each candidate in turn and stops at the first that opens; `out` is that one, in its
// normalised form. Returns whether one opened.
bool first_that_opens(std::vector<std::string>& candidates, std::string& out)
{
    for (std::string& candidate : candidates) {
        set_dir_chars(candidate);
        if (opens_for_reading(app_path + candidate)) {
            out = candidate;
            return true;
        }
    }
    return false;
}

// out = the library's paths for the tile, each as often as its weight, then the file that `search`
// finds, once; the search reports only when the library gave nothing. The found file joins the
// library's candidates with weight 1, so the list as a whole keeps to the limits of its paths and text.
template <typename Search>
void list_library_and_found(int longitude, int latitude, const std::string& name, bool report,
                            std::vector<std::string>& out, Search search)
{
    std::vector<lib_candidate> candidates = DSF_LibraryCandidates(longitude, latitude, name);
    const bool library_answered = std::any_of(candidates.begin(), candidates.end(),
                                              [](const lib_candidate& candidate) { return candidate.weight != 0; });
    std::string found;
    search(report && !library_answered, found);
    if (!found.empty())
        candidates.push_back({found, 1});
    (void)DSF_ListWeightedPaths(name, candidates, out);
}

}  // namespace

void DSF_LocateResourceNoLib(int kind, const std::string& name, const std::string& folder, bool report,
                             std::string& out)
{
    out.clear();
    const image_names image = image_names_of(name);
    std::vector<std::string> candidates;
    if (kind == RESOURCE_IMAGE) {
        add_image_candidates(folder, image, candidates);
        add_image_candidates(folder + "custom terrain textures:", image, candidates);
        add_image_candidates(folder + "custom object textures:", image, candidates);
    } else {
        candidates.push_back(folder + name);
        if (kind == RESOURCE_TERRAIN)
            candidates.push_back(folder + "custom terrain textures:" + name);
        if (is_object(kind))
            candidates.push_back(folder + "custom objects:" + name);
    }
    add_default_candidates(kind, name, image, candidates);

    if (first_that_opens(candidates, out) || !report)
        return;
    for (const std::string& candidate : candidates)
        xer << "Failed to find resource '" << name << "' at '" << candidate << "'\n";
    xer.flush();
}

void DSF_LocateResourceSecondary(int kind, int texture_kind, const std::string& parent, const std::string& name,
                                 bool report, std::string& out)
{
    out.clear();
    const image_names image = image_names_of(name);
    std::vector<std::string> candidates;
    if (!parent.empty()) {
        if (kind == RESOURCE_IMAGE)
            add_image_candidates(parent, image, candidates);
        else
            candidates.push_back(parent + name);
    }
    const std::string package = extract_package(parent);
    if (!package.empty()) {
        if (kind == RESOURCE_TERRAIN)
            candidates.push_back(package + "custom terrain textures:" + name);
        else if (kind == RESOURCE_IMAGE && texture_kind == TEXTURE_KIND_TERRAIN)
            add_image_candidates(package + "custom terrain textures:", image, candidates);
        else if (kind == RESOURCE_IMAGE)
            add_image_candidates(package + "custom object textures:", image, candidates);
        else if (is_object(kind))
            candidates.push_back(package + "custom objects:" + name);
    }
    add_default_candidates(kind, name, image, candidates);

    if (first_that_opens(candidates, out) || !report)
        return;
    for (const std::string& candidate : candidates)
        xer << "Failed to find resource '" << name << "' (parent = '" << parent << "' at '" << candidate << "'\n";
    xer.flush();
}

void DSF_LocateResourcePrimary(int longitude, int latitude, int kind, const std::string& name,
                               const std::string& folder, bool report, std::string& out)
{
    std::string resolved = name;
    if (DSF_LookupLibraryResource(longitude, latitude, resolved)) {
        out = resolved;
        return;
    }
    DSF_LocateResourceNoLib(kind, name, folder, report, out);
}

void DSF_LocateResourcePrimaryMultiple(int longitude, int latitude, int kind, const std::string& name,
                                       const std::string& folder, bool report, std::vector<std::string>& out)
{
    list_library_and_found(longitude, latitude, name, report, out, [&](bool report_search, std::string& found) {
        DSF_LocateResourceNoLib(kind, name, folder, report_search, found);
    });
}

void DSF_LocateResourceSecondaryMultipleWithLibrary(int longitude, int latitude, int kind, int texture_kind,
                                                    const std::string& parent, const std::string& name, bool report,
                                                    std::vector<std::string>& out)
{
    list_library_and_found(longitude, latitude, name, report, out, [&](bool report_search, std::string& found) {
        DSF_LocateResourceSecondary(kind, texture_kind, parent, name, report_search, found);
    });
}

std::string extract_package(const std::string& path)
{
    std::string normalised = path, custom = cus_path, standard = def_path;
    set_dir_chars(normalised);
    set_dir_chars(custom);
    set_dir_chars(standard);
    const std::string* folder = nullptr;
    if (normalised.compare(0, custom.size(), custom) == 0)
        folder = &custom;
    else if (normalised.compare(0, standard.size(), standard) == 0)
        folder = &standard;
    if (folder == nullptr)
        return "";
    const size_t separator = normalised.find_first_of("\\/:", folder->size());
    return separator == std::string::npos ? "" : normalised.substr(0, separator + 1);
}
