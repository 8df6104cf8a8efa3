// PlaceDef.h: one place as the level file defines it, kept to rebuild the place on every restart.
#pragma once
#include "framework/StringUtils.h"

#include <string>
#include <vector>

using RequirementList = std::vector<PlaceRequirement>;

// Place types as the level file numbers them (place%d_type); the rules key these behaviours on
// them. A place keeps the file's number, so a type the game does not know stays as it is.
enum EPlaceType : int {
    kPlaceHouse = 0,         // a foundation: double clicks and the automatic finish send cards there
    kPlaceDeck = 1,          // the stock: a click deals from it
    kPlacePop = 2,           // where the deck pops its cards
    kPlaceColumn = 3,        // a playing column
    kPlaceFreeCell = 4,      // an empty one lets a longer run move
    kPlaceDiscard = 5,       // where finished runs and pairs go
    kPlaceSecondHouse = 6,   // a house of its own kind, alike for every rule
    kPlaceSideColumn = 7,    // a column that only some special actions select on
    kPlaceHand = 255,        // the cursor hand's own place and the short-lived peek places
};

inline bool IsHouseType(int type)
{
    return type == kPlaceHouse || type == kPlaceSecondHouse;
}

struct PlaceDef {
    int x = 0, y = 0;
    float rotate = 0;
    std::vector<std::string> cards;
    float h_offset = 0, v_offset = 0;
    int type = kPlaceHouse;
    bool visible = false;
    bool invert_angle = false;
    int rank = 0;
    RequirementList empty_drop_req, drop_req, pick_req, click_req, win_cond, click_card, click_empty,
        sort_req;
    int click_empty_limit = 0;
    std::string help_script;
    int max_bottom_pos = 0;
};
