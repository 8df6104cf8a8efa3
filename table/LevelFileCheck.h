// LevelFileCheck.h: the level loader's checks of what the level file gives. Every number is held
// to a range the table can lay out, fly, draw and add up in integers; requirement texts must parse
// as written and keys must be ones the loader reads.
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

// Reads the values of one section. A number is the one the value starts with, as the engine reads
// it: "12abc" and "1.0" give 12 and 1 for a whole number, "0x40" gives 0, and the text after the
// number is logged with the section and the key. A value without a number (an empty one too) or
// with one outside its key's range is logged as well, and the key's default (what a missing key
// reads) is used. Place keys "place%d_<name>" take the range of <name>.
class SectionReader {
public:
    SectionReader(IEngine* engine, CIniFile& file, const std::string& section);

    int Int(const std::string& key);
    float Float(const std::string& key);
    bool Bool(const std::string& key);              // a whole number, not 0 = true
    std::vector<int> IntList(const std::string& key);  // tokens split at ",", empty ones dropped
    // Requirement tuples split at ",", empty ones dropped; those that do not parse as written are
    // kept for the section's report.
    std::vector<std::string> Tokens(const std::string& key);
    std::string Text(const std::string& key);

    int KeysFound() const { return m_nKeysFound; }  // 0 after the level keys: no such section
    const std::vector<std::string>& BadTokens() const { return m_badTokens; }

private:
    // A list's tokens split at ",", empty ones dropped: the first 256, and a line when there are
    // more (no level needs more; each costs tens of bytes once read).
    std::vector<std::string> List(const std::string& key);
    bool Present(const std::string& key, std::string& text);
    int Whole(const std::string& key, const std::string& text);  // the key's default when not whole or in range
    void Warn(const std::string& key, const std::string& what, double fallback);

    IEngine* m_pEngine;
    CIniFile& m_file;
    const std::string& m_section;
    int m_nKeysFound = 0;
    std::vector<std::string> m_badTokens;  // key "token"
};

// Checks one section the loader has read into `level` and `places`: each kind of thing the loader
// cannot use (unknown keys, requirement texts that do not parse, places missing, a deal larger
// than the decks) is logged once, with the section's name, and so is a section that the file
// holds more than once (the reads merge them, the first value of a key winning). Keys are listed
// from the file's text, which the engine loads as a resource; an engine that cannot load it skips
// those two checks. The cost grows with the file's size, not with the square of a section's keys.
void CheckSection(IEngine* engine, const SectionReader& reader, const std::string& section,
                  const LevelValues& level, const std::vector<PlaceDef>& places);

// Whether any place has a win condition the table tests (a place with none passes at once).
bool HasWinCondition(const std::vector<PlaceDef>& places);

// A level key, or a place key "place%d_<name>" of a place below placeCount; names compare
// without case.
bool IsKnownKey(const std::string& key, int placeCount);

// One to four decimal whole numbers of 32 bits separated by ":", each with an optional sign.
bool IsRequirementText(const std::string& token);

}  // namespace level_check
