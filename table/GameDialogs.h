// GameDialogs.h: the popups the game opens (yes/no and information dialogs, in-game menus,
// result screens, the no-moves and use-bonus questions), reached through these seams: the
// screens, which sit above the table, put their makers in place, and the table never needs to
// know how a popup is made.
#pragma once

class CFAnimationGroup;
class CScreenBase;

namespace game_dialogs {

// The makers the screens provide; a missing one makes no popup. Each returns the popup to attach
// as a child of the current screen, or null (the caller then goes on as if the player had closed
// it at once).
struct Makers {
    CScreenBase* (*confirmation)(const char* module, const char* move, const char* yes, const char* no, int alpha) = nullptr;
    CScreenBase* (*information)(const char* module, const char* move, const char* ok) = nullptr;
    CScreenBase* (*noMoves)(int kind) = nullptr;
    CScreenBase* (*useBonus)() = nullptr;
    CScreenBase* (*inGameMenu)(bool classic, CFAnimationGroup* cursorLayer) = nullptr;
    CScreenBase* (*statistics)(int kind) = nullptr;
};
void SetMakers(const Makers& makers);
const Makers& GetMakers();

// The shared answer of the yes/no dialogs: -1 pending, 0 "yes", 1 "no". The frame function's
// exit question reads the same value.
int& DialogAnswer();
// The use-bonus question's answer (-1 none, 0 yes, 1 no), and whether one came that the table
// has not taken yet. The question writes them; the table reads and clears them.
int& UseBonusAnswer();
bool& UseBonusAnswered();

CScreenBase* MakeConfirmation(const char* module, const char* move, const char* yes, const char* no, int alpha);
CScreenBase* MakeInformation(const char* module, const char* move, const char* ok);
// The no-moves window's kinds: the second one stands in classic games played without bonuses.
enum ENoMovesKind : int { kNoMovesUntold = 0, kNoMovesPlain = 1, kNoMovesWithoutBonuses = 2 };  // untold: no dialog
CScreenBase* MakeNoMoves(int kind);
CScreenBase* MakeUseBonus();
CScreenBase* MakeInGameMenu(bool classic, CFAnimationGroup* cursorLayer);
CScreenBase* MakeStatistics(int kind);  // mode kind 0 story, 1 classic, 2 bonus level

// Attaches the popup (may be null) as the child of the current top screen, which stops while it
// is open. Returns false when there is no popup or no screen to carry it.
bool Attach(CScreenBase* popup);

}  // namespace game_dialogs
