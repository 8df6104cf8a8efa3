// GameProcessTestRoot.h: the game screen's test fixture: whole games, headless, over the bundled
// data set and level file, with the helpers that settle, drag and read the screen back.
#pragma once

#include "table/CGameProcess.h"

#include "HeadlessGame.h"
#include "app/CIniFile.h"
#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFFont.h"
#include "framework/CFFrameImage.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "platform/FileSystem.h"
#include "progress/CProfileStore.h"
#include "table/CAutoFinisher.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CDeck.h"
#include "table/CHelpDesk.h"
#include "table/CInterface.h"
#include "table/CManaBar.h"
#include "table/CMoveFinder.h"
#include "table/CPlace.h"
#include "table/CRainEffect.h"
#include "table/CScoreKeeper.h"
#include "table/CSpecialActions.h"
#include "table/CTableEffects.h"
#include "table/CTracker.h"
#include "table/CUndoHistory.h"
#include "table/GameDialogs.h"
#include "table/TutorialFile.h"
#include "app/CFlyingEffects.h"
#include "app/CPathEffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>


class CGameProcessTest : public HeadlessGameTest {
protected:
    // As Settle, with the deal hurried by a key once it runs.
    void SettleHurried()
    {
        for (int i = 0; i < 300 && !Game().IsDealing(); ++i)
            Frames(1);
        PressKey(0x41);
        Settle();
    }

    // Each empty place with a frame shows it: the view differs there when the frame is hidden.
    void ExpectEmptyPlacesFramed()
    {
        std::vector<const CPlace*> empty;
        for (int p = 0; p < Table().PlaceCount(); ++p) {
            const CPlace* place = Table().GetPlace(p);
            if (place->pile.empty() && place->GetFrameAnim() != nullptr && place->visible)
                empty.push_back(place);
        }
        if (empty.empty())
            return;
        auto rowAcross = [&](const CPlace& place) {
            const int half = Table().GetCardSize().m_nCardWidth / 2;
            return ReadTexturePixels(m_shot, place.x - half, place.y, 2 * half);
        };
        std::vector<std::vector<std::uint32_t>> shown, hidden;
        ASSERT_TRUE(Shoot());
        for (const CPlace* place : empty)
            shown.push_back(rowAcross(*place));
        for (const CPlace* place : empty)
            place->GetFrameAnim()->SetVisible(false);
        Frames(1);
        ASSERT_TRUE(Shoot());
        for (const CPlace* place : empty) {
            hidden.push_back(rowAcross(*place));
            place->GetFrameAnim()->SetVisible(true);
        }
        for (std::size_t i = 0; i < empty.size(); ++i) {
            ASSERT_EQ(shown[i].size(), hidden[i].size());
            std::size_t differ = 0;
            for (std::size_t k = 0; k < shown[i].size(); ++k)
                differ += shown[i][k] != hidden[i][k] ? 1 : 0;
            EXPECT_GT(differ, shown[i].size() / 2) << "place at " << empty[i]->x << ", " << empty[i]->y;
        }
        m_pEngine->TextureFree(m_shot);
        m_shot = 0;
    }

    // The last presented frame, loaded back as a texture.
    bool Shoot()
    {
        if (m_shot != 0)
            m_pEngine->TextureFree(m_shot);
        m_shot = 0;
        if (!m_pEngine->SaveScreenshot(HostPath("shot.png").c_str()))
            return false;
        m_shot = m_pEngine->TextureLoad("shot.png");
        return m_shot != 0;
    }

    // A new story game of the first level whose deal offers a drag between columns (seeded).
    bool StartWithColumnDrag(MoveRecord& drag)
    {
        for (std::uint32_t seed = 1; seed < 40; ++seed) {
            if (m_pGame != nullptr)
                m_pGame->Release();
            m_pEngine->RandomSeed(seed);
            Start(0, kModeStory, -1);
            Settle();
            Table().GetMoveFinder()->AnyMove();  // the list is built on demand
            for (const MoveRecord& move : Table().GetMoveFinder()->Moves()) {
                const CPlace* to = Table().GetPlace(move.toPlace);
                if (move.kind == kMoveDrag && move.fromCard >= 0 && to->type == kPlaceColumn && !to->pile.empty()) {
                    drag = move;
                    return true;
                }
            }
        }
        return false;
    }

    // Every card of the game lies once on the table (none lost, none twice).
    int CardsOnTable() { return Table().CountCards(); }

    HTexture m_shot = 0;  // the last screenshot read back, freed by the next
};
