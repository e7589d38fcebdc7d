// The save box's name rule: what a typed name becomes once Save or Return confirms it.
#include <gtest/gtest.h>

#include <string>

#include "widgets/opensave.h"

namespace {

constexpr int ANY_FILE = 0, AIRCRAFT = 3, MOVIE = 10;

}

TEST(OpensaveSavedName, ADotAndThreeAtTheEndOfALongerNameGiveWayToTheExtension)
{
    const struct {
        const char* typed;
        int kind;
        const char* saved;
    } cases[] = {
        {".abc", MOVIE, ".abc.SMO"},            // four characters are all name: the dot stays
        {"a.bc", MOVIE, "a.bc.SMO"},            // four, the dot elsewhere
        {"abcd", MOVIE, "abcd.SMO"},            // four, no dot
        {"x.mov", MOVIE, "x.SMO"},              // five: the shortest name that loses its ending
        {"abcde", MOVIE, "abcde.SMO"},          // five, no dot
        {"my clip.mov", MOVIE, "my clip.SMO"},  // long, with an ending
        {"clip.SMO", MOVIE, "clip.SMO"},        // the kind's own ending is not doubled
        {"clip.mo", MOVIE, "clip.mo.SMO"},      // a dot and two is no ending
        {"take two", MOVIE, "take two.SMO"},    // long, no dot
        {"a", MOVIE, "a.SMO"},                  // one character
        {".acf", AIRCRAFT, ".acf.ACF"},         // four, another kind
        {"wing.acf", AIRCRAFT, "wing.ACF"},     // long, another kind
        {".abc", ANY_FILE, ".abc"},             // a kind without an extension adds none ...
        {"notes.txt", ANY_FILE, "notes"},       // ... yet a long name still drops its ending
        {"notes", ANY_FILE, "notes"},           // ... and a plain name stays as typed
    };
    for (const auto& c : cases)
        EXPECT_EQ(opensave_saved_name(c.typed, c.kind), c.saved) << c.typed << " kind " << c.kind;
}
