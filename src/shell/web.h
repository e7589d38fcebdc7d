// web: opening one of the maker's web pages in the user's browser.
// Invariant: returns at once; a missing browser is silent, an over-long URL a fatal alert.
#pragma once

#include <string>

// Longest URL the program hands on.
constexpr size_t URL_LIMIT = 499;

void go_to_URL(std::string url);
