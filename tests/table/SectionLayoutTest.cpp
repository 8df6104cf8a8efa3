// SectionLayoutTest.cpp: every level section of the bundled data, dealt in a headless game, as a
// new player sees it: the places and their dealt cards lie between the panel's bars, the big rules
// window that the first game opens by itself covers none of them and holds its rules, the rules
// text of both views is drawn inside its area, each bonus button's tooltip, hovered, is a framed box
// inside the view drawn over the table, and the tutorial's banner covers no place. Drawn things are
// measured by their pixels.
#include "HeadlessGame.h"

#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFHoverEffect.h"
#include "table/CGamePanel.h"
#include "table/CHelpDesk.h"

#include <algorithm>
#include <functional>

namespace {

// The panel's bars (module "interface"): the top bar covers y 0..64, the bottom bar y 560..600.
constexpr int kTopBarBottom = 64, kBottomBarTop = 560, kViewWidth = 800, kViewHeight = 600;
constexpr float kSlowFrame = 0.5f;

struct Box {
    int left = kViewWidth, top = kViewHeight, right = 0, bottom = 0;  // right and bottom exclusive
    bool Empty() const { return right <= left || bottom <= top; }
    bool Inside(int l, int t, int r, int b) const { return left >= l && top >= t && right <= r && bottom <= b; }
    bool Meets(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};

std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << "(" << b.left << ", " << b.top << ") - (" << b.right << ", " << b.bottom << ")";
}

std::string SectionName(const ::testing::TestParamInfo<int>& info)
{
    return "Solitaire" + std::to_string(info.param);
}

class SectionLayoutTest : public HeadlessGameTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        HeadlessGameTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(g_pResource->LoadModule("learn", -1));  // as the loading screen does
    }

    // The box an object's rectangle spans.
    static Box RectBox(const CFObject& object)
    {
        float x = 0, y = 0, w = 0, h = 0;
        object.GetRect(&x, &y, &w, &h);
        return Box{static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + w), static_cast<int>(y + h)};
    }

    // The box of every pixel that drawing leaves other than black, read back from the frame
    // (whose rows, given `pixels`, are kept there one after another).
    Box DrawnBox(const std::function<void()>& draw, std::vector<std::uint32_t>* pixels = nullptr)
    {
        if (m_pEngine->BeginScene(0)) {
            m_pEngine->Clear(0xFF000000u);
            draw();
            m_pEngine->EndScene();
        }
        const std::string file = HostPath("drawn.png");
        EXPECT_TRUE(m_pEngine->SaveScreenshot(file.c_str()));
        const HTexture shot = m_pEngine->TextureLoad("drawn.png");
        const std::vector<std::uint32_t> frame = ReadTexturePixels(shot, 0, 0, kViewWidth, kViewHeight);
        EXPECT_EQ(frame.size(), static_cast<std::size_t>(kViewWidth * kViewHeight));
        if (pixels != nullptr)
            *pixels = frame;
        Box box;
        for (int y = 0; y < kViewHeight && !frame.empty(); ++y) {
            for (int x = 0; x < kViewWidth; ++x) {
                if ((frame[static_cast<std::size_t>(y * kViewWidth + x)] & 0xFFFFFFu) == 0)
                    continue;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x + 1);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
        m_pEngine->TextureFree(shot);
        return box;
    }

    // Pixels in the box where the game's frame differs from the tip drawn alone by more than the
    // tip's nearly opaque box lets through: something on the table is drawn over the tip there.
    int CoveredTipPixels(CFHoverEffect& tip, const Box& box)
    {
        std::vector<std::uint32_t> game, alone;
        DrawnBox([this] { m_pGame->Render(); }, &game);
        DrawnBox([&tip] { tip.Render(); }, &alone);
        if (game.size() != alone.size() || game.size() != static_cast<std::size_t>(kViewWidth * kViewHeight))
            return -1;
        int covered = 0;
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) {
                const std::uint32_t a = game[static_cast<std::size_t>(y * kViewWidth + x)];
                const std::uint32_t b = alone[static_cast<std::size_t>(y * kViewWidth + x)];
                auto far = [a, b](int shift) { return std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 12; };
                covered += far(0) || far(8) || far(16) ? 1 : 0;
            }
        }
        return covered;
    }

    // The rectangle a card covers with its centre at (x, y), at the card size the game uses.
    Box CardBox(int x, int y)
    {
        const int w = Table().GetCardSize().m_nCardWidth, h = Table().GetCardSize().m_nCardHeight;
        return Box{x - w / 2, y - h / 2, x - w / 2 + w, y - h / 2 + h};
    }

    // Every visible place's anchor and every dealt card in it.
    std::vector<Box> PlaceBoxes()
    {
        std::vector<Box> boxes;
        for (int p = 0; p < Table().PlaceCount(); ++p) {
            CPlace* place = Table().GetPlace(p);
            if (!place->visible)
                continue;
            const int cards = static_cast<int>(place->pile.size());
            for (int i = 0; i < std::max(cards, 1); ++i) {
                int x = 0, y = 0;
                Table().GetCardPosition(place, i, i < cards ? place->GetCard(i) : nullptr, x, y);
                boxes.push_back(CardBox(x, y));
            }
        }
        return boxes;
    }

    // Opens the help desk's view and measures the rules text alone.
    Box RulesTextBox(int view)
    {
        CHelpDesk& desk = *Game().GetHelpDesk();
        desk.ShowRulesText();
        desk.SetView(view, 0.0f);
        for (int i = 0; i < 100 && desk.GetView() != view; ++i)
            Frames(1);
        EXPECT_EQ(desk.GetView(), view);
        Frames(2);
        return DrawnBox([&desk] { desk.GetText()->Render(nullptr); });
    }
};

}  // namespace

TEST_P(SectionLayoutTest, EverythingOnTheTableReadsBetweenTheBars)
{
    const int section = GetParam();
    const bool bonusLevel = section >= 25 && section < 30;
    g_pProfileStore->m_current.m_introShown[static_cast<std::size_t>(section)] = 0;  // its first game
    StartSection(section);
    SettleQuickly(kSlowFrame);
    Frames(2);

    const std::vector<Box> cards = PlaceBoxes();
    for (const Box& card : cards)
        EXPECT_TRUE(card.Inside(0, kTopBarBottom, kViewWidth, kBottomBarTop)) << "a place or card at " << card;

    // The first game opens the big rules window by itself once the deal has landed; a bonus level
    // has none. It stays until the player clicks its rules button, so it must leave every card free.
    CHelpDesk& desk = *Game().GetHelpDesk();
    for (int i = 0; i < 120 && desk.GetView() != CHelpDesk::kBig; ++i)
        Frames(1);
    if (bonusLevel) {
        EXPECT_NE(desk.GetView(), CHelpDesk::kBig);
    } else {
        ASSERT_EQ(desk.GetView(), CHelpDesk::kBig) << "the first game opened no rules window";
        Frames(2);
        KeepScreenshot("first_rules_" + std::to_string(section));
        const Box window = DrawnBox([&desk] { desk.GetSlide()->Render(nullptr); });
        EXPECT_TRUE(!window.Empty() && window.Inside(0, kTopBarBottom, kViewWidth, kBottomBarTop)) << "the window at " << window;
        for (const Box& card : cards)
            EXPECT_FALSE(card.Meets(window)) << "the rules window " << window << " covers " << card;
        const Box area = RectBox(*desk.GetArea());  // where the table takes no clicks
        EXPECT_TRUE(area.Inside(window.left, window.top, window.right, window.bottom) &&
                    window.Inside(area.left - 1, area.top - 1, area.right + 1, area.bottom + 1))
            << "the window's click area " << area << " is not the window " << window;
        const Box button = RectBox(*desk.GetRulesButton());
        EXPECT_TRUE(button.Inside(window.left, window.top, window.right, window.bottom)) << "the rules button at " << button;
        const Box bigText = DrawnBox([&desk] { desk.GetText()->Render(nullptr); });
        EXPECT_TRUE(!bigText.Empty() && bigText.Inside(window.left, button.bottom, window.right, window.bottom))
            << "the rules " << bigText << " run out of the window " << window << " or into its rules button";
        // A click on the window's body leaves it open; its rules button closes it.
        ClickWithMouse(window.right - 6, window.bottom - 6);
        EXPECT_EQ(desk.GetView(), CHelpDesk::kBig);
        ClickWithMouse((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        for (int i = 0; i < 60 && desk.GetView() != CHelpDesk::kSmall; ++i)
            Frames(1);
        EXPECT_EQ(desk.GetView(), CHelpDesk::kSmall);
    }

    // As the table shows it while a tutorial plays.
    CFAnimationInstance banner(nullptr, CFAnimationInstance::kUnsetPosition, CFAnimationInstance::kUnsetPosition);
    ASSERT_TRUE(banner.LoadEffect(g_pResource, "learn", "tutorial_mode"));
    banner.SetVisible(true);
    banner.PlayCommandSection("show", false);
    banner.Advance(kFrame, 2, false);
    const Box bannerBox = DrawnBox([&banner] { banner.Render(nullptr); });
    ASSERT_FALSE(bannerBox.Empty());
    for (const Box& card : cards)
        EXPECT_FALSE(card.Meets(bannerBox)) << "the tutorial banner " << bannerBox << " covers " << card;

    // The small view's slide shows the rules button on the bottom bar and nothing else; a bonus
    // level has no rules button.
    RulesTextBox(CHelpDesk::kSmall);
    const Box slide = DrawnBox([this] { Game().GetHelpDesk()->GetSlide()->Render(nullptr); });
    if (bonusLevel)
        EXPECT_TRUE(slide.Empty()) << "a bonus level's slide at " << slide;
    else
        EXPECT_TRUE(!slide.Empty() && slide.Inside(0, kBottomBarTop, kViewWidth, kViewHeight)) << "the small slide at " << slide;
    if (!bonusLevel) {
        const Box small = RulesTextBox(CHelpDesk::kSmall);
        EXPECT_FALSE(small.Empty());
        EXPECT_TRUE(small.Inside(0, kTopBarBottom, kViewWidth, kBottomBarTop)) << "small rules at " << small;
    }

    // Each bonus button, hovered by the mouse, shows its tooltip: a framed box inside the view
    // with its text inside, drawn over everything on the table.
    for (int i = 0; i < 5 && !bonusLevel; ++i) {
        SCOPED_TRACE("bonus button " + std::to_string(i + 1));
        const CFButton* button = Game().GetGamePanel()->GetBonusButton(i);
        ASSERT_NE(button, nullptr);
        // Where the player sees it, a little up and left of its slot's middle: the look is drawn
        // around the middle, and all of it takes the mouse once the panel has slid in.
        const int x = Game().GetGamePanel()->GetBonusX(i) - 10, y = Game().GetGamePanel()->GetBonusY() - 10;
        ASSERT_TRUE(EngineQueueInput("1 move " + std::to_string(x) + " " + std::to_string(y) + "\n"));
        Frames(3);
        CFHoverEffect* hover = button->GetHoverEffect();
        ASSERT_NE(hover, nullptr) << "no tooltip";
        float bx = 0, by = 0, bw = 0, bh = 0;
        hover->GetAnimation()->GetBounds(&bx, &by, &bw, &bh);
        ASSERT_GT(bw * bh, 0.0f) << "a tooltip without its box";
        const Box drawn = DrawnBox([hover] { hover->Render(); });
        EXPECT_TRUE(drawn.Inside(static_cast<int>(bx), static_cast<int>(by), static_cast<int>(bx + bw), static_cast<int>(by + bh)))
            << "the tooltip's text runs out of its box: " << drawn;
        EXPECT_TRUE(drawn.Inside(0, 0, kViewWidth, kViewHeight)) << "tooltip at " << drawn;
        const int corner = 8;  // the box's rounded corners let the table show
        const Box inner{drawn.left + corner, drawn.top + corner, drawn.right - corner, drawn.bottom - corner};
        EXPECT_EQ(CoveredTipPixels(*hover, inner), 0) << "something on the table is drawn over the tooltip " << inner;
    }
    Frames(1);
    KeepScreenshot("section_" + std::to_string(section));
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(AllSections, SectionLayoutTest, ::testing::Range(0, 35), SectionName);

