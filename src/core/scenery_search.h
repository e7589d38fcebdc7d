#pragma once
// The scenery resource search: the file of a texture, terrain texture or object named by a scenery
// file, found through the scenery library (core/scenery_library.h) when a tile is given, else by trying
// a fixed list of places: beside the referring file, in the custom folders of its package, and in the
// default resource folders. The first candidate that opens for reading wins.
// Main thread only. Every path given and returned is a path string relative to the program's folder;
// a returned one is normalised, so on a case-sensitive disk it holds the spelling found there.

#include <string>
#include <vector>

// What is looked for (`kind`); it chooses the folders searched. Other values search only the given
// folder (or the parent).
enum resource_kind : int {
    RESOURCE_PLAIN = 0,         // the given folder, then "Resources:"
    RESOURCE_IMAGE = 1,         // tried as ".png", then ".bmp", with the texture folders
    RESOURCE_TERRAIN = 2,       // the terrain texture folders
    RESOURCE_OBJECT_FIRST = 3,  // 3 to 7: the object folders
    RESOURCE_OBJECT_LAST = 7,
};
// The texture kind of an image looked up beside its parent: terrain textures live in their own folder.
constexpr int TEXTURE_KIND_TERRAIN = 2;

// `out` is the path found, or empty. With `report`, a search that finds nothing logs every place tried.
void DSF_LocateResourceNoLib(int kind, const std::string& name, const std::string& folder, bool report,
                             std::string& out);
// The library's answer for the tile first (without touching the disk), else DSF_LocateResourceNoLib.
void DSF_LocateResourcePrimary(int longitude, int latitude, int kind, const std::string& name,
                               const std::string& folder, bool report, std::string& out);
// The library's paths for the tile, then the file the search finds, if any; the search reports only
// when the library gave nothing.
void DSF_LocateResourcePrimaryMultiple(int longitude, int latitude, int kind, const std::string& name,
                                       const std::string& folder, bool report, std::vector<std::string>& out);
// Searches beside `parent` (the folder of the referring file), then in the custom folders of the
// package holding it, then in the default folders.
void DSF_LocateResourceSecondary(int kind, int texture_kind, const std::string& parent, const std::string& name,
                                 bool report, std::string& out);
void DSF_LocateResourceSecondaryMultipleWithLibrary(int longitude, int latitude, int kind, int texture_kind,
                                                    const std::string& parent, const std::string& name, bool report,
                                                    std::vector<std::string>& out);

// The package folder (normalised, with one separator) holding `path`, or "" when the path lies in
// neither package folder.
std::string extract_package(const std::string& path);
