#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "editor/editor.h"
#include "editor/size_screen.h"
#include "level/level_rules.h"
#include "tests/editor/editor_assets.h"

namespace {

constexpr int kNone = 0;  // no button chosen: the window is closed afterwards

class SizeScreenTest : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(TTF_Init(), 0);
    dir = std::make_unique<ScopedWorkDir>();
    screen = SDL_SetVideoMode(400, 400, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    FINPROG = 0;
  }
  void TearDown() override {
    dir.reset();
    TTF_Quit();
    SdlTest::TearDown();
  }
  // Runs the screen over these events, closing the window after them.
  int Run(const std::vector<SDL_Event>& events, int width = 400, int height = 400) {
    for (const SDL_Event& e : events) Push(e);
    Push(QuitEvent());
    const int result = Taille(screen, width, height);
    SDL_Event leftover;
    while (SDL_PollEvent(&leftover)) {
    }
    return result;
  }
  // Is some pixel of the box dark (a label's ink)?
  bool HasInk(int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (PixelAt(screen, x, y).r < 100) return true;
    return false;
  }

  std::unique_ptr<ScopedWorkDir> dir;
  SDL_Surface* screen = nullptr;
};

SDL_Event Release(int x, int y) { return MouseButton(SDL_MOUSEBUTTONUP, x, y); }
SDL_Event Press(int x, int y) { return MouseButton(SDL_MOUSEBUTTONDOWN, x, y); }

}  // namespace

TEST_F(SizeScreenTest, ReleaseOnAPlateChoosesItsWidthEdgesIncluded) {
  struct Case {
    int x, y, chosen;
  };
  constexpr Case kCases[] = {
      {150, 100, 600},  {250, 140, 600},   {200, 120, 600},   {251, 140, kNone}, {149, 120, kNone},
      {200, 99, kNone}, {200, 145, kNone}, {200, 150, 700},   {200, 190, 700},   {200, 195, kNone},
      {200, 200, 800},  {250, 240, 800},   {200, 250, 900},   {150, 290, 900},   {145, 300, 1000},
      {255, 340, 1000}, {144, 320, kNone}, {256, 320, kNone}, {255, 341, kNone}, {10, 10, kNone}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "release at " << c.x << "," << c.y);
    FINPROG = 0;
    const int result = Run({Release(c.x, c.y)});
    EXPECT_EQ(result, c.chosen == kNone ? 400 : c.chosen);
    EXPECT_EQ(FINPROG, c.chosen == kNone ? 1 : 0);
  }
}

TEST_F(SizeScreenTest, TheKthPlateChoosesTheWidthTheGameGivesLevelK) {
  for (int k = 1; k <= 5; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(Run({Release(200, 70 + 50 * k)}), LevelWidth(k));
  }
}

TEST_F(SizeScreenTest, ButtonsStandRoundTheCentreOfTheWindowPassedIn) {
  // 500 x 460: centre (250, 230), so "Niveau 1" spans 200..300 x 130..170.
  struct Case {
    int x, y, chosen;
  };
  constexpr Case kCases[] = {
      {200, 130, 600}, {300, 170, 600}, {150, 100, kNone}, {195, 330, 1000}, {305, 370, 1000}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "release at " << c.x << "," << c.y);
    FINPROG = 0;
    EXPECT_EQ(Run({Release(c.x, c.y)}, 500, 460), c.chosen == kNone ? 500 : c.chosen);
  }
}

TEST_F(SizeScreenTest, OnlyTheReleaseChooses) {
  EXPECT_EQ(Run({Press(200, 120)}), 400) << "a press alone";
  EXPECT_EQ(FINPROG, 1);
  FINPROG = 0;
  EXPECT_EQ(Run({Press(10, 10), Release(200, 220)}), 800) << "press elsewhere, release on a plate";
  FINPROG = 0;
  EXPECT_EQ(Run({Press(200, 220), Release(10, 10), Release(200, 170)}), 700);
}

TEST_F(SizeScreenTest, NoKeyActsNotEvenEscape) {
  const int result = Run({KeyDown(SDLK_ESCAPE), KeyDown(SDLK_RETURN), KeyDown(SDLK_KP_ENTER),
                          KeyDown(SDLK_BACKSPACE), KeyDown(SDLK_a), Release(200, 270)});
  EXPECT_EQ(result, 900);
  EXPECT_EQ(FINPROG, 0);
}

TEST_F(SizeScreenTest, ClosingTheWindowReturnsTheWidthPassedIn) {
  for (int width : {400, 640}) {
    SCOPED_TRACE(width);
    FINPROG = 0;
    EXPECT_EQ(Run({}, width, 400), width);
    EXPECT_EQ(FINPROG, 1);
  }
}

TEST_F(SizeScreenTest, PlateUnderThePointerTurnsWhiteAndGreyAgainWhenLeft) {
  const Rgb grey{150, 150, 150};
  struct Probe {
    int x, y;
    Rgb colour;
  };
  struct Case {
    const char* name;
    std::vector<SDL_Event> moves;
    std::vector<Probe> probes;
  };
  const Case kCases[] = {
      {"over Niveau 1",
       {MouseMotion(200, 120)},
       {{160, 135, kWhite},
        {249, 139, kWhite},
        {200, 170, grey},
        {240, 335, grey},
        {10, 10, kWhite}}},
      {"off again",
       {MouseMotion(200, 120), MouseMotion(10, 10)},
       {{160, 135, grey}, {200, 170, grey}}},
      {"onto the corner of Plus que 4",
       {MouseMotion(200, 120), MouseMotion(255, 340)},
       {{160, 135, grey}, {250, 335, kWhite}, {200, 270, grey}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<SDL_Event> events = c.moves;
    events.push_back(Release(200, 220));  // leaves the screen on the frame it shows
    ASSERT_EQ(Run(events), 800);
    for (const Probe& p : c.probes) {
      SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
      EXPECT_EQ(PixelAt(screen, p.x, p.y), p.colour);
    }
  }
}

TEST_F(SizeScreenTest, LabelsAreWrittenOnTheirPlatesTheLastOneToo) {
  if (!MakeEditorAssets(false, true)) GTEST_SKIP() << "no font on this machine";
  ASSERT_EQ(Run({Release(200, 120)}), 600);
  const int plates[][4] = {{150, 100, 249, 139},
                           {150, 150, 249, 189},
                           {150, 200, 249, 239},
                           {150, 250, 249, 289},
                           {145, 300, 254, 339}};
  for (const auto& p : plates) {
    SCOPED_TRACE(testing::Message() << "plate at " << p[0] << "," << p[1]);
    EXPECT_TRUE(HasInk(p[0], p[1], p[2], p[3]));
  }
  EXPECT_FALSE(HasInk(0, 0, 140, 399)) << "nothing beside the plates";
}

TEST_F(SizeScreenTest, EachPassWaitsThirtyMilliseconds) {
  const Uint32 start = SDL_GetTicks();
  Run({MouseMotion(1, 1), MouseMotion(2, 2), MouseMotion(3, 3), MouseMotion(4, 4),
       Release(200, 120)});
  EXPECT_GE(SDL_GetTicks() - start, 5u * 30u);
}

// The composer, with plain coloured surfaces.
class ComposerTest : public SdlTest {
 protected:
  void SetUp() override {
    SdlTest::SetUp();
    if (HasFatalFailure()) return;
    screen = SDL_SetVideoMode(400, 400, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
  }
  void TearDown() override {
    for (SDL_Surface* s : owned) SDL_FreeSurface(s);
    SdlTest::TearDown();
  }
  SDL_Surface* Make(int size, Rgb colour) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, size, size, 32, 0, 0, 0, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, colour.r, colour.g, colour.b));
    owned.push_back(s);
    return s;
  }
  static SDL_Rect At(int x, int y) { return SDL_Rect{Sint16(x), Sint16(y), 0, 0}; }

  SDL_Surface* screen = nullptr;
  std::vector<SDL_Surface*> owned;
};

TEST_F(ComposerTest, PaintsFillThenPlatesThenBackdropThenItemsUpToTheirCounts) {
  const Rgb red{255, 0, 0}, blue{0, 0, 255};
  // Plate k (50 x 50) at (60(k-1), 0); the backdrop on plate 5; items 1-3 on
  // plates 1-3, item 4 on the backdrop.
  std::array<SDL_Surface*, 5> plates{};
  for (auto& p : plates) p = Make(50, kBlankColour);
  SDL_Surface* backdrop = Make(30, red);
  std::array<SDL_Surface*, 4> items{};
  for (auto& i : items) i = Make(10, blue);
  const Rgb background{44, 44, 44};  // the low 8 bits of 300
  const std::array<Rgb, 5> plateGrey{Rgb{10, 10, 10}, Rgb{20, 20, 20}, Rgb{30, 30, 30},
                                     Rgb{40, 40, 40}, Rgb{50, 50, 50}};

  struct Case {
    int plates, items, backdrop;
  };
  constexpr Case kCases[] = {{5, 4, 1}, {0, 0, 1}, {-1, -3, 0}, {3, 2, 2}, {9, 9, 1}, {1, 4, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message()
                 << "plates " << c.plates << " items " << c.items << " backdrop " << c.backdrop);
    Texte(screen, plates[0], plates[1], plates[2], plates[3], plates[4], backdrop, items[0],
          items[1], items[2], items[3], At(0, 0), At(60, 0), At(120, 0), At(180, 0), At(240, 0),
          At(245, 5), At(5, 5), At(65, 5), At(125, 5), At(250, 10), 10, 20, 30, 40, 256 + 50, 300,
          c.plates, c.items, c.backdrop);
    auto plateOr = [&](int k) { return k < c.plates ? plateGrey[k] : background; };
    const Rgb onPlate5 = c.backdrop == 1 ? red : plateOr(4);
    for (int k = 0; k < 5; ++k) {
      SCOPED_TRACE(testing::Message() << "plate " << k + 1);
      EXPECT_EQ(PixelAt(screen, 60 * k + 45, 45), plateOr(k));
    }
    EXPECT_EQ(PixelAt(screen, 270, 30), onPlate5);
    for (int k = 0; k < 3; ++k) {
      SCOPED_TRACE(testing::Message() << "item " << k + 1);
      EXPECT_EQ(PixelAt(screen, 60 * k + 10, 10), k < c.items ? blue : plateOr(k));
    }
    EXPECT_EQ(PixelAt(screen, 255, 15), c.items >= 4 ? blue : onPlate5);
    EXPECT_EQ(PixelAt(screen, 399, 399), background);
  }
}

TEST(EditorFreeSurface, ReleasesTheNonNullSurfacesAmongTheFirstCount) {
  for (int count : {0, 3, 5}) {
    SCOPED_TRACE(count);
    std::array<SDL_Surface*, 5> s{};
    for (auto& surface : s) {
      surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 32, 0, 0, 0, 0);
      ASSERT_NE(surface, nullptr);
      surface->refcount = 3;  // kept alive through two releases, to count them
    }
    FreeSurface(s[0], s[1], s[2], s[3], s[4], count);
    FreeSurface(s[0], nullptr, s[2], nullptr, s[4], 5);
    for (int k = 0; k < 5; ++k) {
      EXPECT_EQ(s[k]->refcount, 3 - (k < count) - (k % 2 == 0)) << "surface " << k + 1;
    }
    for (SDL_Surface* surface : s) {
      while (surface->refcount > 1) SDL_FreeSurface(surface);
      SDL_FreeSurface(surface);
    }
  }
}
