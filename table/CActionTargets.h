// CActionTargets.h: the cards an armed special action would take, marked before it is applied.
#pragma once

class CCardTable;

// The selection pass of the special actions: every frame while a code is armed it sets the
// `Shadow` flag of the cards the action would take at the mouse (the places draw them
// highlighted and clear the flag again), and points the cursor hand's hover at the pointed card.
// The shapes follow the table's geometry: a row of places, the column under the mouse, and the
// depth of a card in its pile. Keeps nothing between frames.
class CActionTargets {
public:
    explicit CActionTargets(CCardTable& table) : m_table(table) {}

    void SelectActionTargets(int code);

private:
    CCardTable& m_table;
};
