#pragma once
// Folder listing into the three program-wide tables g_file, g_path_rel and
// g_file_type (core/globals.h). Entries come sorted by the bytes of their
// names, so every machine lists a folder the same way.

// Entry kinds of g_file_type.
enum listing_type : int {
    LIST_OTHER = 0,  // a file of no listed type, or a folder that is a link
    LIST_FOLDER = 1,
    LIST_BITMAP = 2,  // .BMP, .PNG
    LIST_ACF = 3,
    LIST_AFL = 4,
    LIST_WPN = 5,
    LIST_WAV = 6,
    LIST_OBJ = 7,
    LIST_FDR = 8,
    LIST_SIT = 9,
    LIST_SMO = 10,
    LIST_TXT = 11,
    LIST_FMS = 12,
    LIST_PANEL_BITMAPS = 13,  // a filter only: bitmaps outside the panel folder
    LIST_TRA = 14,
    LIST_CAR = 15,
    LIST_SPA = 16,
    LIST_REG = 17,
};

// Lists wrk_path (normalised in place; it must end in a separator, an empty
// one lists the program's folder) keeping what `filter` accepts, at most
// 3000 entries. Returns the number kept.
int opensave_getitems(int filter);

// Types entry `index` by its extension and says whether `filter` keeps it.
int opensave_takeit(int index, int filter);
