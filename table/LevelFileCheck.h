// LevelFileCheck.h: the level loader's checks of what the level file gives. Positions, fan steps
// and the zoom are held to ranges the table can lay out, fly and draw in integers; requirement
// texts must parse as written and keys must be ones the loader reads.
#pragma once

#include "table/LevelValues.h"
#include "table/PlaceDef.h"

#include <string>
#include <vector>

class CIniFile;
class IEngine;

namespace level_check {

constexpr const char* kLevelFile = "sol_max.ini";

// Every key of a level section, and every key of a place after its "place%d_", that the loader reads.
inline constexpr const char* kLevelKeys[] = {
    "level_zoom", "level_name", "level_difficulty", "level_skill", "level_chance", "level_h_offset_visible",
    "level_v_offset_visible", "level_h_offset_hidden", "level_v_offset_hidden", "level_decks_count",
    "level_suits", "level_place_count", "level_autofinish", "level_bonuses", "level_combos", "bar_length",
    "bar_bonus_length", "bar_undo_length", "bar_result_turn", "bar_hint_length", "bar_combo_3", "bar_combo_2",
    "bar_combo_1", "score_max_combo", "score_undo", "score_bonus_1", "score_bonus_2", "score_bonus_3",
    "score_bonus_4", "score_bonus_5", "score_place_to_house", "score_place_to_place", "score_open_card",
    "score_popdeck_to_place", "score_popdeck_to_house", "score_combo_3", "score_combo_2", "score_combo_1",
    "score_level_inc"};
inline constexpr const char* kPlaceKeys[] = {
    "x", "y", "rotate", "cards", "h_offset", "v_offset", "visible", "invert_angle", "rank", "empty_drop_req",
    "drop_req", "pick_req", "click_req", "win_cond", "click_card", "click_empty", "sort_req",
    "click_empty_limit", "max_bottom_pos", "help_script", "type"};

// Checks one section the loader has read into `level` and `places`: a value out of its range is
// logged with its key and replaced, and each kind of thing the loader cannot use (unknown keys,
// requirement texts that do not parse, places missing, a deal larger than the pool of poolCards)
// is logged once, with the section's name. Keys are listed from the file's text, which the engine
// loads as a resource; an engine that cannot load it skips that check.
void CheckSection(IEngine* engine, CIniFile& file, const std::string& section, LevelValues& level,
                  std::vector<PlaceDef>& places, long long poolCards);

std::string PlaceKey(int place, const char* name);  // "place%d_<name>"

// A range of a value read from the file, and what replaces a value outside it.
struct IntRange {
    int min, max, fallback;
};
struct FloatRange {
    float min, max, fallback;
};

// Anchors may lie a whole view off the 800 x 600 table, never further.
constexpr IntRange kPlaceX{-800, 1600, 0};
constexpr IntRange kPlaceY{-600, 1200, 0};
constexpr IntRange kFanStep{-300, 300, 0};         // level_h/v_offset_visible/hidden, pixels a card
constexpr IntRange kMaxBottomPos{0, 1200, 0};
constexpr FloatRange kFanFactor{-10.0f, 10.0f, 0.0f};  // place%d_h/v_offset
constexpr FloatRange kRotate{-6.2832f, 6.2832f, 0.0f};  // radians, one turn either way
// A missing zoom reads 0 as before; a bad one becomes the cards' own size.
constexpr FloatRange kZoom{0.0f, 4.0f, 1.0f};

bool InRange(int value, const IntRange& range);
bool InRange(float value, const FloatRange& range);  // NaN and infinities never are

// One to four decimal whole numbers of 32 bits separated by ":", each with an optional sign.
bool IsRequirementText(const std::string& token);

// The place number of a key "place%d_<name>" as the loader writes it, or -1.
int PlaceOfKey(const std::string& key);
// A level key, or a place key of a place below placeCount; names compare without case.
bool IsKnownKey(const std::string& key, int placeCount);

// Cards that the places' card tokens ask the deal for (a random draw counts its count).
long long CardsAsked(const std::vector<std::vector<std::string>>& placeCards);

// "a, b, c", cut after a few items with "and N more": one log line stays readable.
std::string JoinList(const std::vector<std::string>& items);

}  // namespace level_check
