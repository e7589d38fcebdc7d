// textlist: the pop-up choice list. A bar shows the chosen entry; a click opens the entries as the
// pop-up menu slot next to the bar, and the pick comes back through the pop-up globals of menus.h.
// Invariant: a list is known by its position (its identifier), never 0, which the globals use for "none".
#pragma once

#include <climits>
#include <string>

// Identifier given to a list whose position computes to 0, the globals' "no list" value.
constexpr int TEXTLIST_ORIGIN_ID = INT_MIN;
constexpr int TEXTLIST_ITEM_LIMIT = 300;

int BTN_textlist(float x, float y, int* choice, std::string items, std::string label);

// The identifier of a list drawn at (x, y).
int textlist_id(float x, float y);
