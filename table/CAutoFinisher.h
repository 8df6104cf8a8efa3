// CAutoFinisher.h: sends the cards home one at a time once nothing is left to decide.
#pragma once

class CCardTable;

// Owned by its table. Starts once every card lies on a column (type 3) in order and face up or at
// home (types 0 and 6), and only in levels whose file asks for it; then stays on.
class CAutoFinisher {
public:
    explicit CAutoFinisher(CCardTable* table) : m_pTable(table) {}

    bool IsRunning() const { return m_bActive; }
    void Stop() { m_bActive = false; }
    bool Step(float dt);  // true when active and no card could be sent home

private:
    bool Qualifies() const;

    bool m_bActive = false;
    CCardTable* m_pTable;
};
