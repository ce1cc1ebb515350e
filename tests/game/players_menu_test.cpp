#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <vector>

#include "game/screens/screens.h"
#include "tests/game/screen_fixture.h"

namespace {

// The 600 x 600 start window: cx = cy = 300.
struct Point {
  int x, y;
};
constexpr Point kOne{255, 275};     // "1 joueur", 90 x 40
constexpr Point kTwo{245, 325};     // "2 joueurs", 110 x 40
constexpr Point kManual{217, 100};  // "Mode d'emploi", 165 x 40
constexpr Point kBack{260, 550};    // "Retour", 80 x 40
constexpr Point kReadme{191, 450};  // Readme picture, 218 x 73

SDL_Event Press(Point p) { return MouseButton(SDL_MOUSEBUTTONDOWN, p.x, p.y); }
SDL_Event Release(Point p) { return MouseButton(SDL_MOUSEBUTTONUP, p.x, p.y); }
SDL_Event Move(Point p) { return MouseMotion(p.x, p.y); }
Point Off(Point p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

enum class Page { kQuestion, kInstructions, kOther };

class PlayersMenuTest : public ScreenTest {
 protected:
  int Run(const std::vector<SDL_Event>& events, TTF_Font* font = nullptr) {
    for (const SDL_Event& e : events) Push(e);
    Watchdog watchdog;
    return Joueurs(600, 600, screen_, font);
  }
  // Corners of the plates that no label covers.
  Rgb ManualPlate() { return At(kManual.x + 1, kManual.y + 38); }
  Rgb OnePlate() { return At(kOne.x + 88, kOne.y + 38); }
  Rgb TwoPlate() { return At(kTwo.x + 108, kTwo.y + 38); }
  Rgb BackPlate() { return At(kBack.x + 78, kBack.y + 38); }
  Page Shown() {
    if (ManualPlate() == kIdlePixel && BackPlate() == kWhitePixel) return Page::kQuestion;
    if (BackPlate() == kIdlePixel && ManualPlate() == kWhitePixel && OnePlate() == kWhitePixel)
      return Page::kInstructions;
    return Page::kOther;
  }
};

const char* Name(Page p) {
  return p == Page::kQuestion ? "question" : p == Page::kInstructions ? "instructions" : "other";
}

}  // namespace

TEST_F(PlayersMenuTest, WaysOutAndTheirResults) {
  const SDL_Event escape = KeyDown(SDLK_ESCAPE);
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    int result;
    int finprog;
  };
  const Case cases[] = {
      {"press on 1 joueur", {Press(kOne)}, 1, 0},
      {"its bottom-right corner", {Press(Off(kOne, 90, 40))}, 1, 0},
      {"one pixel right of it", {Press(Off(kOne, 91, 20)), escape}, 0, 0},
      {"one pixel below it", {Press(Off(kOne, 45, 41)), Press(kTwo)}, 2, 0},
      {"press on 2 joueurs", {Press(Off(kTwo, 110, 40))}, 2, 0},
      {"a release does not choose", {Release(kOne), Release(kTwo), escape}, 0, 0},
      {"Enter and other keys do nothing",
       {KeyDown(SDLK_RETURN), KeyDown(SDLK_a), Press(kTwo)},
       2,
       0},
      {"a pad's A is 1 joueur", {PadAxis(0, 0, 30000), PadButton(0, 0)}, 1, 0},
      {"a pad's X is 2 joueurs", {PadButton(1, 2)}, 2, 0},
      {"the keyboard's 2 is not", {KeyDown(SDLK_2), PadButton(0, 6)}, 0, 0},
      {"Escape", {escape}, 0, 0},
      {"window closed", {QuitEvent()}, 0, 1},
      {"hidden 1 joueur on the instructions", {Press(kManual), Press(Off(kOne, 45, 20))}, 1, 0},
      {"hidden 2 joueurs on the instructions", {Press(kManual), Press(kTwo)}, 2, 0},
      {"Escape on the instructions", {Press(kManual), escape}, 0, 0},
      {"closed on the instructions", {Press(kManual), QuitEvent()}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FINPROG = 0;
    EXPECT_EQ(Run(c.events), c.result);
    EXPECT_EQ(FINPROG, c.finprog);
  }
}

TEST_F(PlayersMenuTest, PageChangesFollowThePressesOfTheShownPage) {
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    Page shown;
  };
  const Case cases[] = {
      {"nothing", {}, Page::kQuestion},
      {"Mode d'emploi", {Press(kManual)}, Page::kInstructions},
      {"its far corner", {Press(Off(kManual, 165, 40))}, Page::kInstructions},
      {"just outside it", {Press(Off(kManual, -1, 0))}, Page::kQuestion},
      {"there and back", {Press(kManual), Press(kBack)}, Page::kQuestion},
      {"three changes",
       {Press(kManual), Press(Off(kBack, 80, 40)), Press(kManual)},
       Page::kInstructions},
      {"Mode d'emploi area on the instructions",
       {Press(kManual), Press(kManual)},
       Page::kInstructions},
      {"Retour area on the question", {Press(kBack)}, Page::kQuestion},
      {"Readme area on the instructions", {Press(kManual), Press(kReadme)}, Page::kInstructions},
      {"a release changes no page", {Release(kManual)}, Page::kQuestion},
      {"a pad's top button (Y): the instructions", {PadButton(0, 3)}, Page::kInstructions},
      {"and again: back", {PadButton(0, 3), PadButton(0, 3)}, Page::kQuestion},
      {"the keyboard's Space is no page change", {KeyDown(SDLK_SPACE)}, Page::kQuestion},
  };
  FakeDesktop desktop;  // the Readme press must not reach a real desktop
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<SDL_Event> events = c.events;
    events.push_back(KeyDown(SDLK_ESCAPE));
    EXPECT_EQ(Run(events), 0);
    EXPECT_STREQ(Name(Shown()), Name(c.shown));
  }
}

TEST_F(PlayersMenuTest, EveryPassWaitsAndEveryPageChangeWaitsMore) {
  using namespace std::chrono;
  auto start = steady_clock::now();
  Run({Press({0, 0}), Press({0, 0}), Press({0, 0}), KeyDown(SDLK_ESCAPE)});
  EXPECT_GE(steady_clock::now() - start, milliseconds(4 * 30));

  start = steady_clock::now();
  Run({Press(kManual), Press(kBack), Press(kManual), KeyDown(SDLK_ESCAPE)});
  EXPECT_GE(steady_clock::now() - start, milliseconds(4 * 30 + 3 * 100));
}

TEST_F(PlayersMenuTest, HoverLightsAPlateFromTheNextPassOnBothPages) {
  const SDL_Event escape = KeyDown(SDLK_ESCAPE);
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    Rgb manual, one, two, back;  // the question page's plates, or the back plate
  };
  const Rgb idle = kIdlePixel, lit = kWhitePixel, none = kWhitePixel;
  const Case cases[] = {
      {"no motion", {escape}, idle, idle, idle, none},
      {"onto 1 joueur", {Move(kOne), escape}, idle, lit, idle, none},
      {"onto the corner of 2 joueurs", {Move(Off(kTwo, 110, 40)), escape}, idle, idle, lit, none},
      {"onto Mode d'emploi", {Move(Off(kManual, 0, 40)), escape}, lit, idle, idle, none},
      {"on and off again", {Move(kOne), Move(Off(kOne, 91, 0)), escape}, idle, idle, idle, none},
      // The back grey follows the mouse while its page is hidden ...
      {"onto Retour, then the instructions",
       {Move(kBack), Press(kManual), escape},
       none,
       none,
       none,
       lit},
      {"instructions without it", {Press(kManual), escape}, none, none, none, idle},
      // ... and so do the other three on the instructions page.
      {"onto 1 joueur there, then back",
       {Press(kManual), Move(Off(kOne, 1, 1)), Press(kBack), escape},
       idle,
       lit,
       idle,
       none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Run(c.events);
    EXPECT_EQ(ManualPlate(), c.manual);
    EXPECT_EQ(OnePlate(), c.one);
    EXPECT_EQ(TwoPlate(), c.two);
    EXPECT_EQ(BackPlate(), c.back);
  }
}

TEST_F(PlayersMenuTest, MotionShowsTheCursor) {
  SDL_ShowCursor(SDL_DISABLE);
  Run({KeyDown(SDLK_ESCAPE)});
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  Run({Move({1, 1}), KeyDown(SDLK_ESCAPE)});
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(PlayersMenuTest, TheReadmePictureOpensTheDocumentByItsFullPath) {
  ScopedWorkDir dir;
  FakeDesktop desktop;
  char* here = realpath(".", nullptr);
  const std::string document = std::string(here) + "/Readme.html";
  free(here);

  // On the question page the area is dead.
  Run({Press(kReadme), Release(kReadme), KeyDown(SDLK_ESCAPE)});
  EXPECT_TRUE(desktop.Settled(0).empty());

  // Both corners count; a release or a press one pixel outside does not; the page stays.
  Run({Press(kManual), Press(kReadme), Release(Off(kReadme, 10, 10)), Press(Off(kReadme, 218, 73)),
       Press(Off(kReadme, 219, 0)), KeyDown(SDLK_ESCAPE)});
  EXPECT_STREQ(Name(Shown()), Name(Page::kInstructions));
  EXPECT_EQ(desktop.Settled(2), std::vector<std::string>(2, Request(document)));
}

TEST_F(PlayersMenuTest, InstructionPicturesLetTheirWhiteThrough) {
  ScopedWorkDir dir;
  // Pictures wide enough to lie over the "Retour" plate, white but for a blue corner.
  struct Case {
    const char* path;
    int w, h;
    Point at;
  };
  const Case cases[] = {{"Images/ModeEmploi.png", 600, 599, {0, 1}},
                        {"Images/Readme.png", 160, 150, kReadme}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    SDL_Surface* picture = SolidSurface(c.w, c.h, kWhitePixel);
    Paint(picture, 0, 0, 10, 10, Rgb{0, 0, 255});
    SavePicture(c.path, picture);
    Run({Press(kManual), KeyDown(SDLK_ESCAPE)});
    EXPECT_EQ(At(c.at.x, c.at.y), (Rgb{0, 0, 255}));
    EXPECT_EQ(At(c.at.x + 9, c.at.y + 9), (Rgb{0, 0, 255}));
    EXPECT_EQ(At(c.at.x + 10, c.at.y + 10), kWhitePixel);
    EXPECT_EQ(BackPlate(), kIdlePixel);
    std::remove(c.path);
  }
}

TEST_F(PlayersMenuTest, ShowsItsTextsInBlack) {
  ASSERT_NE(Font(), nullptr) << "the shipped font, Police/comic.ttf, is missing";
  Run({KeyDown(SDLK_ESCAPE)}, Font());
  EXPECT_TRUE(ShowsText("Combien de joueurs ?", kBlackText, 190, 200, kWhitePixel));
  EXPECT_GT(InkIn(kOne.x, kOne.y, kOne.x + 90, kOne.y + 40, kIdlePixel), 0);
  EXPECT_GT(InkIn(kTwo.x, kTwo.y, kTwo.x + 110, kTwo.y + 40, kIdlePixel), 0);
  EXPECT_GT(InkIn(kManual.x + 2, kManual.y, kManual.x + 165, kManual.y + 40, kIdlePixel), 0);

  Run({Press(kManual), KeyDown(SDLK_ESCAPE)}, Font());
  EXPECT_GT(InkIn(kBack.x, kBack.y, kBack.x + 80, kBack.y + 40, kIdlePixel), 0);
  EXPECT_EQ(InkIn(0, 0, 600, 540, kWhitePixel), 0);  // no picture, no question
}
