#include <gtest/gtest.h>

#include <vector>

#include "game/screens/screens.h"
#include "tests/game/screen_fixture.h"

namespace {

// The 600 x 600 window: cx = cy = 300.
struct Point {
  int x, y;
};
constexpr Point kQuit{254, 100};       // 93 x 40
constexpr Point kFirstLogo{118, 200};  // 365 x 100
constexpr Point kSecondLogo{76, 325};  // 448 x 96

SDL_Event Press(Point p) { return MouseButton(SDL_MOUSEBUTTONDOWN, p.x, p.y); }
SDL_Event Release(Point p) { return MouseButton(SDL_MOUSEBUTTONUP, p.x, p.y); }
Point Off(Point p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

const std::string kFirstPage = "https://tavernique.example/";
const std::string kSecondPage = "https://tilo.example/";

class CreditsTest : public ScreenTest {
 protected:
  // Runs the screen and tells how many of the events it left unread.
  int Run(const std::vector<SDL_Event>& events, TTF_Font* font = nullptr) {
    for (const SDL_Event& e : events) Push(e);
    {
      Watchdog watchdog;
      Merci(600, 600, screen_, font);
    }
    return EventsLeft();
  }
  Rgb QuitPlate() { return At(kQuit.x + 92, kQuit.y + 39); }
};

}  // namespace

TEST_F(CreditsTest, LeavesOnAReleaseOverQuitterOnEnterOrOnClose) {
  const SDL_Event enter = KeyDown(SDLK_RETURN), marker = KeyDown(SDLK_a);
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    int left;
  };
  const Case cases[] = {
      {"release on Quitter", {Release(kQuit), marker}, 1},
      {"release on its far corner", {Release(Off(kQuit, 93, 40)), marker}, 1},
      {"release just right of it", {Release(Off(kQuit, 94, 0)), enter, marker}, 1},
      {"press there only", {Press(kQuit), enter, marker}, 1},
      {"press there, release outside", {Press(kQuit), Release(Off(kQuit, 0, 41)), enter}, 0},
      {"Escape does nothing", {KeyDown(SDLK_ESCAPE), enter, marker}, 1},
      {"Enter", {enter, marker, marker}, 2},
      {"window closed", {QuitEvent(), marker}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Run(c.events), c.left);
  }
}

TEST_F(CreditsTest, ClosingTheWindowLeavesFinprogAsItWas) {
  for (int before : {0, 1}) {
    SCOPED_TRACE(before);
    FINPROG = before;
    Run({QuitEvent()});
    EXPECT_EQ(FINPROG, before);
  }
}

TEST_F(CreditsTest, EachReleaseOnALogoOpensItsPartnersPageAgain) {
  ScopedWorkDir dir;  // no logos: their areas answer all the same
  FakeDesktop desktop;
  EXPECT_EQ(Run({Release(kFirstLogo), Release(Off(kFirstLogo, 365, 100)), Release(kSecondLogo),
                 Release(Off(kSecondLogo, 448, 96)), Release(Off(kSecondLogo, 449, 96)),
                 Release(Off(kFirstLogo, 0, -1)), Press(kFirstLogo), Press(kSecondLogo),
                 KeyDown(SDLK_RETURN)}),
            0);
  std::vector<std::string> expected = {Request(kFirstPage), Request(kFirstPage),
                                       Request(kSecondPage), Request(kSecondPage)};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(desktop.Settled(4), expected);
}

TEST_F(CreditsTest, HoverLightsQuitterFromTheNextPass) {
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    Rgb plate;
    int cursor;
  };
  const Case cases[] = {
      {"no motion", {}, kIdlePixel, SDL_DISABLE},
      {"onto it", {MouseMotion(kQuit.x, kQuit.y)}, kWhitePixel, SDL_ENABLE},
      {"onto its corner", {MouseMotion(kQuit.x + 93, kQuit.y + 40)}, kWhitePixel, SDL_ENABLE},
      {"on and off",
       {MouseMotion(kQuit.x, kQuit.y), MouseMotion(kQuit.x - 1, kQuit.y)},
       kIdlePixel,
       SDL_ENABLE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SDL_ShowCursor(SDL_DISABLE);
    std::vector<SDL_Event> events = c.events;
    events.push_back(KeyDown(SDLK_RETURN));
    Run(events);
    EXPECT_EQ(QuitPlate(), c.plate);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), c.cursor);
  }
}

TEST_F(CreditsTest, LogosAreDrawnWholeWithTheirWhite) {
  ScopedWorkDir dir;
  constexpr Rgb red{200, 0, 0};
  // The second logo lies partly over the first and is drawn after it.
  SavePicture("Images/Tavernique.png", SolidSurface(365, 200, red));
  SavePicture("Images/Tilo.png", SolidSurface(448, 96, kWhitePixel));
  Run({KeyDown(SDLK_RETURN)});
  EXPECT_EQ(At(kFirstLogo.x, kFirstLogo.y), red);
  EXPECT_EQ(At(kFirstLogo.x - 1, kFirstLogo.y), kWhitePixel);
  EXPECT_EQ(At(kFirstLogo.x + 100, kSecondLogo.y - 1), red);
  EXPECT_EQ(At(kFirstLogo.x + 100, kSecondLogo.y), kWhitePixel);
  EXPECT_EQ(At(kFirstLogo.x + 364, kSecondLogo.y + 50), kWhitePixel);
}

TEST_F(CreditsTest, ShowsItsCaptionAndTextsWithTheirAccents) {
  if (!Font()) GTEST_SKIP() << "no font";
  SDL_WM_SetCaption("before", nullptr);
  Run({KeyDown(SDLK_RETURN)}, Font());
  EXPECT_STREQ(Caption(), "Remerciements ...");
  EXPECT_TRUE(
      ShowsText("Merci pour leur aide \xE0 : cliquez pour acc\xE9"
                "der au site",
                kBlackText, 10, 150, kWhitePixel));
  EXPECT_FALSE(ShowsText("Merci pour leur aide a : cliquez pour acceder au site", kBlackText, 10,
                         150, kWhitePixel));
  EXPECT_GT(InkIn(kQuit.x, kQuit.y, kQuit.x + 93, kQuit.y + 40, kIdlePixel), 0);
}
