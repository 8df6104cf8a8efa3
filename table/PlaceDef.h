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

// Requirement codes as the level file writes them: the first value (`a`) of a requirement, one
// family per list. A code that a list does not know passes.
namespace PickCode {
enum : int {
    kFaceUp = 0,
    kTopCard = 1,
    kPlaceHolds = 2,      // place b holds exactly c cards
    kSortedRun = 3,       // the lifted run obeys sort_req
    kFitsFreeCells = 4,   // at most 1 + the empty free cells are lifted
    kAlways = 5,
    kWraps = 6,           // passes, and ranks of this place wrap from then on
};
}  // namespace PickCode

namespace DropCode {
enum : int {
    kSingleCard = 0,
    kSameSuit = 1,
    kOneHigher = 2,       // the landing card is one rank above the top card
    kSameColour = 3,
    kOneLower = 4,
    kTopFaceUp = 5,
    kOtherColour = 6,
    kOneApart = 7,        // one rank above or below, never wrapping
    kWraps = 8,           // passes, and ranks of this place wrap from then on
    kNotFromPlace = 9,    // not from place b
    kFromPlace = 10,      // from place b
    kPlaceHolds = 11,     // place b holds exactly c cards
    kRanksAddUpTo = 12,   // the two ranks, counted from 1, add up to b
    kNotFromColumn = 13,
    kRankWithFewer = 14,  // the landing card has rank b and fewer than b cards move
    kFewerThan = 15,      // fewer than b cards move
};
}  // namespace DropCode

namespace EmptyDropCode {
enum : int {
    kSingleCard = 0,
    kRank = 1,            // the landing card has rank b; b -1: the level's base rank, set at the deal
    kFromPlace = 4,       // from place b
};
}  // namespace EmptyDropCode

namespace ClickCode {      // click_req
enum : int {
    kFaceDown = 0,
    kTopCard = 1,
    kStillFaceDown = 2,   // as kFaceDown
};
}  // namespace ClickCode

namespace ClickCardCode {  // click_card: what a click on a card does
enum : int {
    kTurnOver = 0,
    kDealOne = 1,         // the top card to every pop place
    kDealThree = 2,       // up to three top cards to every pop place
    kDealToColumns = 3,   // the top card to every column
    kTurnUp = 5,
    kToDiscard = 7,       // the top card to every discard place
};
}  // namespace ClickCardCode

namespace ClickEmptyCode {  // click_empty: what a click on the empty place does
enum : int {
    kGatherPops = 0,      // takes back the cards of every pop place
};
}  // namespace ClickEmptyCode

namespace SortCode {
enum : int {
    kSameSuit = 0,
    kRising = 1,
    kFalling = 2,
    kAlternateColours = 4,
    kOneColour = 5,
};
}  // namespace SortCode

namespace WinCode {
enum : int {
    kHolds = 0,           // exactly b cards
    kSorted = 1,          // the whole pile obeys sort_req
    kHoldsSorted = 2,     // b or c cards, and sorted
};
}  // namespace WinCode

// A card token of place%d_cards whose first value is this deals random cards: "-1:count:face".
constexpr int kTokenRandomCards = -1;
constexpr int kTokenFaceUp = 1;  // a token's third value: the card is dealt face up

// What the level file gives a place and every copy of the place carries along: where it lies, how
// it fans its cards and the rules it plays by. One value, so that a copy cannot miss a field.
struct PlaceSetup {
    int x = 0, y = 0;
    float rotate = 0;
    std::vector<std::string> cards;
    float h_offset = 0, v_offset = 0;
    bool visible = false;
    bool invert_angle = false;
    int rank = 0;
    RequirementList empty_drop_req, drop_req, pick_req, click_req, win_cond, click_card, click_empty,
        sort_req;
    int click_empty_limit = 0;
    std::string help_script;
};

// The type is set apart (setting it makes the place's decorations), and the lowest fan position
// is read from the file only: copies of a place leave it as it was.
struct PlaceDef : PlaceSetup {
    int type = kPlaceHouse;
    int max_bottom_pos = 0;
};
