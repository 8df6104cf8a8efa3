// CCardTableLevel.cpp: reading the level file into the table and dealing the cards.
#include "table/CCardTable.h"

#include "app/CIniFile.h"
#include "framework/StringUtils.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCursorHand.h"
#include "table/CDeck.h"
#include "table/ITableHost.h"
#include "table/LevelFileCheck.h"
#include "table/TutorialFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::vector<PlaceRequirement> ParseRequirementList(const std::vector<std::string>& tokens)
{
    std::vector<PlaceRequirement> out;
    for (const std::string& token : tokens) {
        PlaceRequirement req;
        ParseRequirement(token, req);
        out.push_back(req);
    }
    return out;
}

std::string PlaceKey(int i, const char* name)
{
    char key[64];
    std::snprintf(key, sizeof key, "place%d_%s", i, name);
    return key;
}

// The requirement codes of each list whose value b names a place by its number.
bool NamesPlace(const char* list, const PlaceRequirement& req)
{
    const std::string name = list;
    if (name == "pick_req")
        return req.a == PickCode::kPlaceHolds;
    if (name == "drop_req")
        return req.a == DropCode::kNotFromPlace || req.a == DropCode::kFromPlace || req.a == DropCode::kPlaceHolds;
    if (name == "empty_drop_req")
        return req.a == EmptyDropCode::kFromPlace;
    return false;
}

// A card token that no pool can serve: a rank past the king, or a suit number that the deal's
// mapping (|b - 3|) takes past the fourth suit.
bool IsNoCard(const PlaceRequirement& req)
{
    if (req.a == kTokenRandomCards)
        return false;
    return req.a < 0 || req.a > 12 || (req.b != -1 && (req.b < 0 || req.b > 6));
}

std::string RankToken(int rank)
{
    return std::to_string(rank) + ":-1:1";
}
}  // namespace

std::string CCardTable::SectionName(int level, unsigned mode)
{
    int number = level;
    if (IsBonusLevelMode(mode))
        number = level + 25;
    else if (IsHardcoreMode(mode))
        number = level + 30;
    return "Solitaire" + std::to_string(number);
}

void CCardTable::ReadLevelValues(level_check::SectionReader& in)
{
    LevelValues& lv = m_Level;
    lv.fZoom = in.Float("level_zoom");
    lv.sName = in.Text("level_name");
    lv.nDifficulty = in.Int("level_difficulty");
    lv.nSkill = in.Int("level_skill");
    lv.nChance = in.Int("level_chance");
    lv.nHOffsetVisible = in.Int("level_h_offset_visible");
    lv.nVOffsetVisible = in.Int("level_v_offset_visible");
    lv.nHOffsetHidden = in.Int("level_h_offset_hidden");
    lv.nVOffsetHidden = in.Int("level_v_offset_hidden");
    lv.nDecksCount = in.Int("level_decks_count");
    lv.nSuits = in.Int("level_suits");
    lv.nPlaceCount = in.Int("level_place_count");
    lv.bAutoFinish = in.Bool("level_autofinish");
    lv.vBonuses = in.IntList("level_bonuses");
    lv.vCombos = ParseRequirementList(in.Tokens("level_combos"));

    int* const bars[] = {&m_Gauges.m_nBarLength,     &m_Gauges.m_nBarBonusLength, &m_Gauges.m_nBarUndoLength,
                         &m_Gauges.m_nBarResultTurn, &m_Gauges.m_nBarHintLength,  &m_Gauges.m_nBarCombo3,
                         &m_Gauges.m_nBarCombo2,     &m_Gauges.m_nBarCombo1};
    const char* const barKeys[] = {"bar_length", "bar_bonus_length", "bar_undo_length", "bar_result_turn",
                                   "bar_hint_length", "bar_combo_3", "bar_combo_2", "bar_combo_1"};
    for (std::size_t i = 0; i < 8; ++i)
        *bars[i] = in.Int(barKeys[i]);
    m_Scores.m_nScoreMaxCombo = in.Int("score_max_combo");
    m_Scores.m_nScoreUndo = in.Int("score_undo");
    for (int i = 0; i < 5; ++i)
        m_Scores.m_nScoreBonus[i] = in.Int("score_bonus_" + std::to_string(i + 1));
    int* const scores[] = {
        &m_Scores.m_nScorePlaceToHouse,   &m_Scores.m_nScorePlaceToPlace,   &m_Scores.m_nScoreOpenCard,
        &m_Scores.m_nScorePopdeckToPlace, &m_Scores.m_nScorePopdeckToHouse, &m_Scores.m_nScoreCombo3,
        &m_Scores.m_nScoreCombo2,         &m_Scores.m_nScoreCombo1,         &m_Scores.m_nScoreLevelInc};
    const char* const scoreKeys[] = {"score_place_to_house", "score_place_to_place", "score_open_card",
                                     "score_popdeck_to_place", "score_popdeck_to_house", "score_combo_3",
                                     "score_combo_2", "score_combo_1", "score_level_inc"};
    for (std::size_t i = 0; i < 9; ++i)
        *scores[i] = in.Int(scoreKeys[i]);
}

bool CCardTable::CheckLevelLimits(const std::string& section)
{
    // What bounds a level is its card count, not its deck count: the deal record and the cursor
    // hand hold 208 cards, so eight one-suit decks fit as well as four full ones. The pool is
    // built deck by deck from the suits whose bit (8 >> s) is set, so only the low four bits count.
    int suits = 0;
    for (int s = 0; s < 4; ++s) {
        if ((m_Level.nSuits & (8 >> s)) != 0)
            ++suits;
    }
    const long long cards = static_cast<long long>(m_Level.nDecksCount) * suits * 13;
    const long long maxCards = static_cast<long long>(TutorialRecord::kMaxDeals);
    if (m_Level.nDecksCount < 0 || cards > maxCards) {
        m_engine.Log("[E] Level %s: %d decks of %d suits, at most %lld cards fit on the table",
                  section.c_str(), m_Level.nDecksCount, suits, maxCards);
        return false;
    }
    if (m_Level.nPlaceCount < 0 || m_Level.nPlaceCount > kMaxPlaces) {
        m_engine.Log("[E] Level %s: %d places, at most %d fit on the table", section.c_str(),
                  m_Level.nPlaceCount, kMaxPlaces);
        return false;
    }
    return true;
}

void CCardTable::ReadPlaceDef(level_check::SectionReader& in, int i, PlaceDef& def)
{
    auto list = [&](const char* name) { return ParseRequirementList(in.Tokens(PlaceKey(i, name))); };
    def.x = in.Int(PlaceKey(i, "x"));
    def.y = in.Int(PlaceKey(i, "y"));
    def.rotate = in.Float(PlaceKey(i, "rotate"));
    def.cards = in.Tokens(PlaceKey(i, "cards"));
    def.h_offset = in.Float(PlaceKey(i, "h_offset"));
    def.v_offset = in.Float(PlaceKey(i, "v_offset"));
    def.visible = in.Bool(PlaceKey(i, "visible"));
    def.invert_angle = in.Bool(PlaceKey(i, "invert_angle"));
    def.rank = in.Int(PlaceKey(i, "rank"));
    def.empty_drop_req = list("empty_drop_req");
    def.drop_req = list("drop_req");
    def.pick_req = list("pick_req");
    def.click_req = list("click_req");
    def.win_cond = list("win_cond");
    def.click_card = list("click_card");
    def.click_empty = list("click_empty");
    def.sort_req = list("sort_req");
    def.click_empty_limit = in.Int(PlaceKey(i, "click_empty_limit"));
    def.max_bottom_pos = in.Int(PlaceKey(i, "max_bottom_pos"));
    def.help_script = in.Text(PlaceKey(i, "help_script"));
    def.type = in.Int(PlaceKey(i, "type"));
}

// Place numbers and cards in the file are untrusted. A requirement that names a place the level
// does not have is logged; the checks then find no such place (a "from place" never matches). A
// card token that is no card is logged and left out of the deal.
void CCardTable::CheckPlaceReferences(const std::string& section)
{
    const int count = static_cast<int>(m_PlaceDefs.size());
    for (int i = 0; i < count; ++i) {
        PlaceDef& def = m_PlaceDefs[static_cast<std::size_t>(i)];
        const std::pair<const char*, const RequirementList*> lists[] = {
            {"pick_req", &def.pick_req}, {"drop_req", &def.drop_req}, {"empty_drop_req", &def.empty_drop_req}};
        for (const auto& list : lists) {
            for (const PlaceRequirement& req : *list.second) {
                if (NamesPlace(list.first, req) && (req.b < 0 || req.b >= count))
                    m_engine.Log("[W] Level %s place %d: %s names place %d, which is not on the table",
                                 section.c_str(), i, list.first, req.b);
            }
        }
        // "1:-1:c": the base rank empties the place, and place c gets a card of that rank at the deal.
        const RequirementList& empty = def.empty_drop_req;
        if (!empty.empty() && empty.front().a == EmptyDropCode::kRank && empty.front().b == -1 &&
            empty.front().c != -1 && (empty.front().c < 0 || empty.front().c >= count))
            m_engine.Log("[W] Level %s place %d: empty_drop_req names place %d, which is not on the table",
                         section.c_str(), i, empty.front().c);
        for (auto it = def.cards.begin(); it != def.cards.end();) {
            PlaceRequirement req;
            ParseRequirement(*it, req);
            if (!IsNoCard(req)) {
                ++it;
                continue;
            }
            // A token that does not parse was reported with the section's other texts already.
            if (level_check::IsRequirementText(*it))
                m_engine.Log("[W] Level %s place %d: card %s is no card, left out", section.c_str(), i, it->c_str());
            it = def.cards.erase(it);
        }
    }
}

void CCardTable::BuildPlaces()
{
    m_MoveCards.clear();  // flights point to the places about to go
    m_pCursorHand->srcPlace = nullptr;
    m_pCursorHand->place->pile.clear();
    m_LastMove = PlaceMove();
    m_pLastSource = nullptr;
    m_Places.clear();
    for (const PlaceDef& def : m_PlaceDefs) {
        auto place = std::make_unique<CPlace>(this, false);
        place->ApplyDef(def);
        place->SetType(def.type);
        m_Places.push_back(std::move(place));
    }
}

bool CCardTable::LoadLevel()
{
    if (m_bLevelLoaded) {
        m_Level = m_SavedLevel;
        BuildPlaces();
        return true;
    }
    m_PlaceDefs.clear();
    m_Level = LevelValues();
    m_Places.clear();
    const std::string section = SectionName(m_nLevel, m_nMode);
    m_pLevelFile->SetSection(section.c_str());
    level_check::SectionReader in(m_engine.Get(), *m_pLevelFile, section);
    ReadLevelValues(in);
    if (in.KeysFound() == 0) {
        m_engine.Log("[E] Level %s: no such section in %s", section.c_str(), level_check::kLevelFile);
        m_Level = LevelValues();
        m_bUnplayable = true;
        return false;
    }
    if (!CheckLevelLimits(section)) {
        m_Level = LevelValues();
        m_bUnplayable = true;
        return false;
    }
    for (int i = 0; i < m_Level.nPlaceCount; ++i) {
        PlaceDef def;
        ReadPlaceDef(in, i, def);
        m_PlaceDefs.push_back(def);
    }
    level_check::CheckSection(m_engine.Get(), in, section, m_Level, m_PlaceDefs);
    CheckPlaceReferences(section);
    BuildPlaces();
    m_SavedLevel = m_Level;
    m_bLevelLoaded = true;
    return true;
}

bool CCardTable::CheckPlayable()
{
    if (m_bUnplayable || !m_bLevelLoaded) {
        m_bUnplayable = true;  // LoadLevel told why
        return false;
    }
    // Without places or a win condition every place passes at once: the first move would win.
    const std::string section = SectionName(m_nLevel, m_nMode);
    if (m_PlaceDefs.empty())
        m_engine.Log("[E] Level %s: no places, the level cannot be played", section.c_str());
    else if (!level_check::HasWinCondition(m_PlaceDefs))
        m_engine.Log("[E] Level %s: no place has a win condition, the level cannot be played", section.c_str());
    else
        return true;
    m_bUnplayable = true;
    return false;
}

// ---- Dealing -------------------------------------------------------------------------------

void CCardTable::DealToken(CDeck& deck, CPlace& place, const std::string& token)
{
    PlaceRequirement req;
    ParseRequirement(token, req);
    const bool replaying = m_pInterface->IsReplaying();
    auto lay = [&](CCard* card, bool faceUp) {
        if (card == nullptr)
            return false;  // the pool cannot serve this card: the token is skipped
        if (!replaying)
            m_pInterface->RecordDeal(card->Rank, card->Suit);
        if (faceUp)
            card->SetFaceUp(1.0f);
        place.pile.push_back(card);
        return true;
    };
    auto next = [&](CCard* fresh) -> CCard* {
        if (!replaying)
            return fresh;
        int rank = 0, suit = 0;
        return m_pInterface->NextDeal(rank, suit) ? deck.TakeCard(rank, suit) : nullptr;
    };
    if (req.a == kTokenRandomCards) {
        // Never more draws than the pool holds, whatever count the file asks for.
        for (int n = 0; n < req.b && deck.Available() > 0; ++n) {
            if (!lay(next(replaying ? nullptr : deck.DrawRandom()), req.c == kTokenFaceUp))
                break;
        }
        return;
    }
    const int suit = req.b == -1 ? -1 : std::abs(req.b - 3);
    lay(next(replaying ? nullptr : deck.TakeCard(req.a, suit)), req.c == kTokenFaceUp);
}

void CCardTable::DealCards(CDeck& deck, int baseRank)
{
    m_MoveCards.clear();
    m_pCursorHand->place->pile.clear();
    deck.Reset();
    int counter = 0;
    for (auto& owned : m_Places) {
        CPlace& place = *owned;
        place.StopSway();
        // Cards from an earlier deal are all back in the pool: the pile starts empty.
        place.pile.clear();
        if (!place.empty_drop_req.empty() && place.empty_drop_req.front().a == EmptyDropCode::kRank &&
            place.empty_drop_req.front().b == -1) {
            PlaceRequirement& first = place.empty_drop_req.front();
            CPlace* other = GetPlace(first.c);
            if (first.c != -1 && counter == 3 && other != nullptr)
                other->cards.insert(other->cards.begin(), RankToken(baseRank));
            first = PlaceRequirement{EmptyDropCode::kRank, baseRank, 1, first.d};
            if (first.d == 1)
                place.cards.push_back(RankToken(baseRank));
            ++counter;
        }
        if (place.empty_drop_req.empty() && m_Level.sName == "Penguin" && place.type == kPlaceColumn)
            place.empty_drop_req.push_back(
                PlaceRequirement{EmptyDropCode::kRank, baseRank == 0 ? 12 : baseRank - 1, 0, 0});
        for (const std::string& token : place.cards)
            DealToken(deck, place, token);
    }
    for (auto& place : m_Places)
        place->ApplyBaseRank();
    m_bCheckMoves = true;
    if (!m_pInterface->IsReplaying())
        MarkBonusCard();
}

void CCardTable::MarkBonusCard()
{
    for (auto& place : m_Places) {
        for (CCard* card : place->pile)
            card->CardState = kCardPlain;
    }
    auto qualifies = [this](const CPlace* p) {
        if (p->Size() == 0)
            return false;
        return p->type == kPlaceColumn || p->type == kPlaceSideColumn ||
               (p->type == kPlaceDeck && m_Level.sName != "Golf");
    };
    std::vector<CPlace*> candidates;
    for (auto& place : m_Places) {
        if (qualifies(place.get()))
            candidates.push_back(place.get());
    }
    // The random search over all places is bounded: with no qualifying place there is no bonus card.
    if (candidates.empty() || IsBonusLevelMode(m_nMode))
        return;
    CPlace* chosen = nullptr;
    for (int tries = 0; tries < 1000 && chosen == nullptr; ++tries) {
        CPlace* p = GetPlace(m_engine.RandomInt(0, PlaceCount() - 1));
        if (p != nullptr && qualifies(p))
            chosen = p;
    }
    if (chosen == nullptr)
        chosen = candidates.front();
    const int index = m_engine.RandomInt(0, chosen->Size() - 1);
    CCard* card = chosen->GetCard(index >= 0 && index < chosen->Size() ? index : 0);
    if (card != nullptr)
        card->CardState = kCardBonus;
}
