#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <vector>

#include "game/maze/actors.h"
#include "game/screens/screens.h"
#include "platform/fsound.h"
#include "tests/game/screen_fixture.h"
#include "tests/game/sound_samples.h"

namespace {

constexpr Rgb kBackdropColour{0, 120, 0};

// The level tables of the game, and what init left in them.
struct Level {
  std::array<SDL_Rect, 1000> wallPositions{};
  std::array<SDL_Surface*, 1000> wallImages{};
  std::array<SDL_Rect, 300> chestPositions{};
  std::array<SDL_Surface*, 300> chestImages{};
  std::array<SDL_Rect, 5> enemyPositions{};
  std::array<SDL_Surface*, 5> enemyImages{};
  std::array<int, 5> enemyDirections{};
  SDL_Rect hero{301, 301, 0, 0};
  int wallCount = -1;

  void Release() {
    auto release = [](SDL_Surface** images, size_t n) {
      for (size_t i = 0; i < n; ++i) {
        if (images[i]) SDL_FreeSurface(images[i]);
        images[i] = nullptr;
      }
    };
    release(wallImages.data(), wallImages.size());
    release(chestImages.data(), chestImages.size());
    release(enemyImages.data(), enemyImages.size());
  }
};

class LevelStartTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    // Pictures of the level, a two-wall level 1 and the title picture.
    for (const char* path : {"Images/Mur.png", "Images/coffre.png", "Images/Ennemi.png"})
      SavePicture(path, SolidSurface(10, 10, kBlackPixel));
    SavePicture("Images/gloutofond.jpg", SolidSurface(30, 20, kBackdropColour));
    mkdir("Niveaux", 0755);
    WriteFile("Niveaux/Niveau_1.txt", "2\n0\t0\n575\t575\n");
  }
  void TearDown() override {
    level_.Release();
    ScreenTest::TearDown();
  }

  int Run(const std::vector<SDL_Event>& events, int width = 600, int levelNumber = 1,
          FSOUND_STREAM* stream = nullptr, TTF_Font* font = nullptr, int chests = 4,
          int enemies = 2, int height = 600) {
    for (const SDL_Event& e : events) Push(e);
    Watchdog watchdog;
    return init(width, height, screen_, levelNumber, chests, level_.chestImages.data(),
                level_.wallImages.data(), level_.chestPositions.data(), enemies,
                level_.enemyPositions.data(), level_.enemyImages.data(),
                level_.enemyDirections.data(), &level_.hero, stream, font,
                level_.wallPositions.data(), &level_.wallCount);
  }

  // Level 1 as its file and the rules of the maze have it.
  void ExpectLevelOneFilled(int chests = 4, int enemies = 2) {
    ASSERT_EQ(level_.wallCount, 2);
    EXPECT_EQ(level_.wallPositions[1].x, 575);
    EXPECT_EQ(level_.wallPositions[1].y, 575);
    EXPECT_NE(level_.wallImages[0], nullptr);
    EXPECT_NE(level_.wallImages[1], nullptr);
    for (int i = 0; i < chests; ++i) {
      SCOPED_TRACE(i);
      EXPECT_NE(level_.chestImages[i], nullptr);
      EXPECT_GE(level_.chestPositions[i].x, 30);
      EXPECT_GE(level_.chestPositions[i].y, 30);
    }
    for (int i = 0; i < enemies; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(level_.enemyPositions[i].x, kStartCornerX);
      EXPECT_EQ(level_.enemyPositions[i].y, kStartCornerY);
      EXPECT_GE(level_.enemyDirections[i], 1);
      EXPECT_LE(level_.enemyDirections[i], 4);
      EXPECT_NE(level_.enemyImages[i], nullptr);
    }
  }

  // The plate of level 1 is at (237, 360), 125 x 40; its far corner has no label over it.
  Rgb Plate(int x = 237) { return At(x + 124, 399); }

  ScopedWorkDir dir_;
  Level level_;
};

SDL_Event Press(int x, int y) { return MouseButton(SDL_MOUSEBUTTONDOWN, x, y); }

// Stops the music from outside while the screen runs, noting whether it played.
struct Interruption {
  FSOUND_STREAM* stream;
  std::atomic<int> playedBefore{-1};
};

Uint32 StopTheMusic(Uint32, void* param) {
  auto* cut = static_cast<Interruption*>(param);
  cut->playedBefore = FSOUND_IsPlaying(1);
  FSOUND_Stream_Stop(cut->stream);
  return 0;
}

Uint32 PressEnter(Uint32, void*) {
  SDL_Event enter = KeyDown(SDLK_RETURN);
  SDL_PushEvent(&enter);
  return 0;
}

}  // namespace

TEST_F(LevelStartTest, EveryWayOutFillsTheLevel) {
  const SDL_Event escape = KeyDown(SDLK_ESCAPE);
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    int result;
    int finprog;
  };
  const Case cases[] = {
      {"Enter", {KeyDown(SDLK_RETURN)}, 1, 0},
      {"press on the plate", {Press(237, 360)}, 1, 0},
      {"press on its far corner", {Press(237 + 125, 360 + 40)}, 1, 0},
      {"one pixel right of it", {Press(237 + 126, 400), escape}, 0, 0},
      {"one pixel below it", {Press(362, 401), escape}, 0, 0},
      {"one pixel left of it", {Press(236, 380), KeyDown(SDLK_RETURN)}, 1, 0},
      {"a release does not start", {MouseButton(SDL_MOUSEBUTTONUP, 300, 380), escape}, 0, 0},
      {"other keys do nothing", {KeyDown(SDLK_a), KeyDown(SDLK_SPACE), escape}, 0, 0},
      {"Escape", {escape}, 0, 0},
      {"window closed", {QuitEvent()}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FINPROG = 0;
    level_.wallCount = -1;
    level_.enemyPositions.fill(SDL_Rect{});
    EXPECT_EQ(Run(c.events), c.result);
    EXPECT_EQ(FINPROG, c.finprog);
    EXPECT_EQ(EventsLeft(), 0);
    ExpectLevelOneFilled();
  }
}

TEST_F(LevelStartTest, AMissingLevelFileGivesNoWalls) {
  Push(KeyDown(SDLK_RETURN));
  EXPECT_EQ(Run({}, 700, 2, nullptr, nullptr, 3, 1), 1);
  EXPECT_EQ(level_.wallCount, 0);
  EXPECT_EQ(level_.enemyPositions[0].x, kStartCornerX);
  EXPECT_NE(level_.chestImages[2], nullptr);
}

TEST_F(LevelStartTest, TheLastPassStillWaits) {
  const auto start = std::chrono::steady_clock::now();
  Run({KeyDown(SDLK_a), KeyDown(SDLK_RETURN)});
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2 * 30));
}

TEST_F(LevelStartTest, LaysOutBackdropAndPlateFromTheWindowSize) {
  // The plate hangs 240 pixels above the window's bottom, whatever its centre.
  struct Case {
    int width, height;
    int plateX, plateY;
  };
  for (const Case c : {Case{600, 600, 237, 360}, Case{700, 600, 287, 360},
                       Case{1000, 600, 437, 360}, Case{600, 800, 237, 560}}) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    ASSERT_NO_FATAL_FAILURE(OpenWindow(c.width, c.height));
    Run({KeyDown(SDLK_RETURN)}, c.width, 1, nullptr, nullptr, 4, 2, c.height);
    const int cx = c.width / 2, cy = c.height / 2;
    EXPECT_EQ(At(cx - 60, cy - 155), kBackdropColour);
    EXPECT_EQ(At(cx - 60 + 29, cy - 155 + 19), kBackdropColour);
    EXPECT_EQ(At(cx - 61, cy - 155), kWhitePixel);
    EXPECT_EQ(At(c.plateX, c.plateY), kIdlePixel);
    EXPECT_EQ(At(c.plateX + 124, c.plateY + 39), kIdlePixel);
    EXPECT_EQ(At(c.plateX - 1, c.plateY), kWhitePixel);
    EXPECT_EQ(At(c.plateX + 125, c.plateY + 40), kWhitePixel);
  }
}

TEST_F(LevelStartTest, HoverLightsThePlateFromTheNextPass) {
  struct Case {
    const char* what;
    std::vector<SDL_Event> events;
    Rgb plate;
  };
  const Case cases[] = {
      {"no motion", {}, kIdlePixel},
      {"onto the plate", {MouseMotion(362, 400)}, kWhitePixel},
      {"on and off", {MouseMotion(300, 380), MouseMotion(363, 380)}, kIdlePixel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<SDL_Event> events = c.events;
    events.push_back(KeyDown(SDLK_RETURN));
    Run(events);
    EXPECT_EQ(Plate(), c.plate);
  }
}

TEST_F(LevelStartTest, ShowsTheCursorAndItsCaption) {
  SDL_ShowCursor(SDL_DISABLE);
  SDL_WM_SetCaption("before", nullptr);
  Run({KeyDown(SDLK_RETURN)});
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  EXPECT_STREQ(Caption(), "Bienvenue dans le monde du Glouto !");
}

TEST_F(LevelStartTest, ShowsTheLevelNumberAfterNiveau) {
  if (!Font()) GTEST_SKIP() << "no font";
  Run({KeyDown(SDLK_RETURN)}, 600, 12, nullptr, Font());
  EXPECT_TRUE(ShowsTexts({{"Niveau", 260, 270}, {" 12", 285, 295}}, kBlackText, kWhitePixel));
  EXPECT_FALSE(ShowsTexts({{"Niveau", 260, 270}, {"12", 285, 295}}, kBlackText, kWhitePixel));
  EXPECT_GT(InkIn(237, 360, 237 + 125, 400, kIdlePixel), 0);  // "Commencer"
}

TEST_F(LevelStartTest, AsksForTheMusicOnEveryPass) {
  ASSERT_EQ(FSOUND_Init(44100, 32, 0), 1);
  mkdir("Musique", 0755);
  sound_samples::WriteToneWav("Musique/Musique.wav", 5);
  Interruption cut{FSOUND_Stream_Open("Musique/Musique.wav", 0, 0, 0)};
  EXPECT_NE(cut.stream, nullptr);
  EXPECT_EQ(FSOUND_IsPlaying(1), 0);

  // Stopped a few passes in, the music is asked for again by the passes after.
  SDL_AddTimer(100, StopTheMusic, &cut);
  SDL_AddTimer(250, PressEnter, nullptr);
  EXPECT_EQ(Run({}, 600, 1, cut.stream), 1);
  EXPECT_EQ(cut.playedBefore, 1);
  EXPECT_EQ(FSOUND_IsPlaying(1), 1);

  FSOUND_Stream_Close(cut.stream);
  FSOUND_Close();
}
