"""The game played through its window: menus, levels, pause, end and credits."""

import os
import time

from harness import (Failure, asset_picture, box, changed_box, check, closest_text, dark_pixels,
                     differs, is_silent, is_sounding, lit, middle, picture_match, share_of_colour,
                     unlit, wait_until)

SCENARIOS = {}


def scenario(function):
    SCENARIOS["game." + function.__name__] = function
    return function


WELCOME = "Bienvenue dans le monde du Glouto !"  # the start window and every level-start screen
WON = "Felicitation !!! :)"
LOST = "Oh dommage ... :("
CREDITS = "Remerciements ..."
PARTNER_PAGES = ["https://tavernique.example/", "https://tilo.example/"]
END_CAPTIONS = (WON, LOST, CREDITS)


def level_caption(level):
    return f"Glouto seconde generation ! Niveau {level}"


# Player-count menu and instructions page, in the 600 x 600 start window.
ONE_PLAYER = box(255, 275, 90, 40)
TWO_PLAYERS = box(245, 325, 110, 40)
INSTRUCTIONS = box(217, 100, 165, 40)
BACK = box(260, 550, 80, 40)
README_PICTURE = box(191, 450, 218, 73)
OFF_THE_PLATES = (20, 580)

# The field; the hero starts at (301, 301).
PAUSE_TEXT = box(260, 280, 80, 35)
HERO_START = box(301, 301, 50, 50)
AROUND_HERO_START = box(296, 296, 60, 60)
HUD_BANDS = (box(0, 0, 1000, 40), box(0, 560, 1000, 40))

# Four walls around the hero's start keep every chest away from it, so a
# hero that never moves ends the game with no chest eaten.
WALLS_ROUND_THE_HERO = b"4\n270\t270\n356\t270\n270\t356\n356\t356\n"


def start_plate(width):
    return box(width // 2 - 63, 360, 125, 40)


def level_start_shown(image, width):
    """The 'Commencer' plate, and "Niveau" written at (cx - 40, cy - 30)."""
    return unlit(image, start_plate(width)) and dark_pixels(image, box(width // 2 - 40, 270, 80, 30)) > 20


def check_level_start(session, image, width, level):
    """The level-start screen shows its title picture at (cx - 60, cy - 155)
    and writes the level as " %d" at (cx - 15, cy - 5)."""
    position = (width // 2 - 60, 145)
    shown = picture_match(image, position, asset_picture(session, "gloutofond.jpg"))
    check(shown > 0.9, f"{shown:.0%} of the title picture shown at {position}")
    font = os.path.join(session.workdir, "Police", "comic.ttf")
    shown = closest_text(image, (width // 2 - 15, 295), [f" {n}" for n in range(1, 10)], font,
                         ink=0, paper=255)
    check(shown == f" {level}", f"the level-start screen of level {level} reads like {shown!r}")


def credits_areas(width):
    cx = width // 2
    return box(cx - 46, 100, 93, 40), box(cx - 182, 200, 365, 100), box(cx - 224, 325, 448, 96)


def menu_shown(image):
    return unlit(image, ONE_PLAYER) and unlit(image, TWO_PLAYERS) and unlit(image, INSTRUCTIONS)


def black_page(image):
    return share_of_colour(image, box(0, 0, 60, 60), (0, 0, 0)) > 0.99


# --- Steps shared by the scenarios ------------------------------------------------

def open_menu(session):
    session.wait_caption(WELCOME)
    session.wait_size(600, 600)
    session.point_at(*OFF_THE_PLATES)
    session.wait_picture("the player-count menu with its three grey plates", menu_shown, "menu")


def choose(session, plate):
    session.click(*middle(plate))
    image = session.wait_picture("the level-start screen of level 1",
                                 lambda image: level_start_shown(image, 600), "level-start")
    check_level_start(session, image, 600, 1)
    check(session.caption() == WELCOME, f"level-start caption is {session.caption()!r}")
    session.point_at(*OFF_THE_PLATES)


def begin_level(session, level):
    session.key("Return")
    session.wait_caption(level_caption(level))
    # The head-up texts show once the first frame is drawn.
    session.wait_picture("the first frame, with 'Restant' at the top left",
                         lambda image: dark_pixels(image, box(0, 0, 150, 35)) > 20, "first-frame")


def wait_at_rest(game):
    """Waits until nothing moves but the head-up texts and the resting hero's
    own animation (within one 50-pixel square); returns the field then."""
    def probe():
        first = game.screenshot("at-rest")
        time.sleep(0.3)
        second = game.screenshot("at-rest")
        changed = changed_box(first, second, ignore=HUD_BANDS)
        at_rest = changed is None or (changed[2] - changed[0] <= 50 and changed[3] - changed[1] <= 50)
        return (second if at_rest else None), changed
    return wait_until("everything at rest but the hero's own animation", probe)


def wait_end_page(session, caption):
    session.wait_caption(caption)
    return session.wait_picture("the black end page", black_page, "end-page")


def check_end_page(session, image, width, won, score=None):
    """The end page shows the outcome's picture at (cx - 50, cy - 150), its
    headline at (cx - 70, cy - 20) and the score at (cx - 100, cy - 60):
    the given one, or else one that a won game can have (above 0)."""
    cx, cy = width // 2, 300
    outcome = "won" if won else "lost"
    position = (cx - 50, cy - 150)
    shown = picture_match(image, position, asset_picture(session, "Imagegagne.png"), under=(0, 0, 0))
    other = picture_match(image, position, asset_picture(session, "Imageperd.png"), under=(0, 0, 0))
    if not won:
        shown, other = other, shown
    check(shown > 0.6 and shown > other,
          f"the {outcome} game's picture at {position}: {shown:.0%} of it shown "
          f"(the other outcome's picture: {other:.0%})")

    font = os.path.join(session.workdir, "Police", "comic.ttf")
    headlines = {True: "... Bravo !!! :)", False: "Game Over"}
    headline = closest_text(image, (cx - 70, cy - 20), list(headlines.values()), font)
    check(headline == headlines[won], f"the {outcome} game's headline reads like {headline!r}")
    shown_score = closest_text(image, (cx - 100, cy - 60),
                               [f"Votre score : {n}" for n in range(-5, 100)], font)
    if score is not None:
        check(shown_score == f"Votre score : {score}", f"the end page reads like {shown_score!r}")
    else:
        check(int(shown_score.split(": ")[1]) > 0, f"a won game's end page reads like {shown_score!r}")


def wait_exit_watching(session, timeout=10):
    """Waits for the program to end and returns the captions it showed meanwhile."""
    seen = []
    deadline = time.monotonic() + timeout
    while session.running() and time.monotonic() < deadline:
        caption = session.caption()
        if caption and caption not in seen:
            seen.append(caption)
        time.sleep(0.05)
    code = session.wait_exit(1)
    return code, seen


def check_ends_at_once(game):
    """The program ends cleanly within a few seconds, showing no end screen on its way out."""
    code, seen = wait_exit_watching(game, timeout=5)
    check(code == 0, f"exit status {code}")
    check(not set(seen) & set(END_CAPTIONS), f"end screens were shown: {seen}")


# --- Scenarios --------------------------------------------------------------------

@scenario
def start_to_restart(ctx):
    """A whole game: menu, instructions, two levels, pause, end, credits, next game."""
    game = ctx.start("game")
    open_menu(game)

    game.point_at(*middle(ONE_PLAYER))
    game.wait_picture("'1 joueur' lit under the pointer, the other plates not",
                      lambda i: lit(i, ONE_PLAYER) and unlit(i, TWO_PLAYERS) and unlit(i, INSTRUCTIONS),
                      "menu-hover")
    game.point_at(*OFF_THE_PLATES)
    game.wait_picture("'1 joueur' grey again once the pointer left", menu_shown, "menu-unhover")

    game.click(*middle(INSTRUCTIONS))
    page = game.wait_picture("the instructions page with its 'Retour' plate",
                             lambda i: unlit(i, BACK) and not unlit(i, ONE_PLAYER), "instructions")
    for name, position in (("ModeEmploi.png", (0, 1)), ("Readme.png", README_PICTURE[:2])):
        shown = picture_match(page, position, asset_picture(game, name), white_is_clear=True)
        check(shown > 0.9, f"{shown:.0%} of {name} shown at {position}")
    game.click(*middle(README_PICTURE))
    opened = wait_until("the manual asked of the desktop", lambda: (game.opened(), game.opened()))
    check(len(opened) == 1 and os.path.realpath(os.path.join(game.workdir, opened[0]))
          == os.path.realpath(os.path.join(game.workdir, "Readme.html")),
          f"the desktop was asked for {opened}, not the game's Readme.html")
    check(unlit(game.screenshot("instructions-stay"), BACK), "the instructions page stays")
    game.click(*middle(BACK))
    game.point_at(*OFF_THE_PLATES)
    game.wait_picture("the player-count menu after 'Retour'", menu_shown, "menu-back")

    choose(game, ONE_PLAYER)
    game.point_at(*middle(start_plate(600)))
    game.wait_picture("'Commencer' lit under the pointer", lambda i: lit(i, start_plate(600)),
                      "level-start-hover")
    game.point_at(*OFF_THE_PLATES)
    begin_level(game, 1)
    check(game.size() == (600, 600), f"level 1 window is {game.size()}")

    # The hero moves under the arrow keys. The enemies are made harmless and
    # sent away first, so that only the hero changes the field. Each turn is
    # asked far from the left and top edges, where the edge rule would turn
    # the hero straight back.
    game.key("Shift_R")
    game.key("Control_L")
    before = wait_at_rest(game)
    game.key("Up")
    game.wait_picture("the hero gone up from its start",
                      lambda i: differs(before, i, HERO_START) and differs(before, i, box(301, 40, 50, 60)),
                      "hero-up")
    game.wait_picture("the hero back down its column, bounced off the top",
                      lambda i: differs(before, i, box(301, 450, 50, 100)), "hero-down")
    turned = game.screenshot("hero-turns-right")
    game.key("Right")
    game.wait_picture("the hero at the right edge", lambda i: differs(turned, i, box(550, 40, 50, 520)),
                      "hero-right")
    turned = game.screenshot("hero-turns-left")
    game.key("Left")
    game.wait_picture("the hero at the left edge", lambda i: differs(turned, i, box(0, 40, 50, 520)),
                      "hero-left")
    game.key("Return")  # the hero stops

    game.key("p")
    game.wait_caption(level_caption(1) + " PAUSE")
    paused = game.screenshot("paused")
    time.sleep(1.0)  # four ticks of the game's timer, had it run
    check(changed_box(paused, game.screenshot("still-paused")) is None,
          "nothing moves while paused, the clock included")
    game.key("p")
    game.wait_caption(level_caption(1))
    resumed = game.wait_picture("play going on without the 'Pause' text",
                                lambda i: differs(paused, i, PAUSE_TEXT), "resumed")
    check(dark_pixels(paused, PAUSE_TEXT) >= dark_pixels(resumed, PAUSE_TEXT) + 30,
          "'Pause' was written at (260, 280) during the pause")

    game.key("g")
    game.wait_caption(WELCOME)
    game.wait_size(700, 600)
    image = game.wait_picture("the level-start screen of level 2, centred in 700 pixels",
                              lambda i: level_start_shown(i, 700), "level-2-start")
    check_level_start(game, image, 700, 2)
    begin_level(game, 2)
    check(game.size() == (700, 600), f"level 2 window is {game.size()}")
    game.key("Control_L")
    before = game.screenshot("level-2")
    game.key("Right")
    game.wait_picture("the hero at the right edge of the wider field",
                      lambda i: differs(before, i, box(650, 301, 50, 50)), "level-2-right")

    # The hero ate chests and kept its lives and time: a won game. It rests
    # first: a chest eaten in the very frame of the key would leave the clock
    # at 0, and the game lost.
    game.key("Return")
    wait_at_rest(game)
    game.key("t")
    wait_until("an end screen", lambda: (game.caption() in (WON, LOST), game.caption()))
    check(game.caption() == WON, f"end caption {game.caption()!r}: the hero ate chests, "
          "kept its lives and had time left")
    end_page = wait_end_page(game, WON)
    check_end_page(game, end_page, 700, won=True)

    game.key("Return")
    game.wait_caption(CREDITS)
    quit_plate, first_logo, second_logo = credits_areas(700)
    page = game.wait_picture("the credits with their 'Quitter' plate", lambda i: unlit(i, quit_plate),
                             "credits")
    for name, logo in (("Tavernique.png", first_logo), ("Tilo.png", second_logo)):
        shown = picture_match(page, logo[:2], asset_picture(game, name))
        check(shown > 0.9, f"{shown:.0%} of {name} shown at {logo[:2]}")
    asked_before = game.opened()  # the manual, from the instructions page

    def asked():
        return game.opened()[len(asked_before):]

    game.press(*middle(first_logo))
    time.sleep(0.5)  # many passes of the screen
    check(asked() == [], f"a press alone asked the desktop for {asked()}")
    game.release(*middle(first_logo))
    wait_until("the first partner's page asked of the desktop",
               lambda: (asked() == PARTNER_PAGES[:1], asked()))
    game.click(*middle(second_logo))
    wait_until("the second partner's page asked of the desktop",
               lambda: (asked() == PARTNER_PAGES, asked()))
    check(game.caption() == CREDITS, "the credits stay after a page was opened")

    game.key("Return")
    open_menu(game)  # the next game
    game.close_window()
    check(game.wait_exit() == 0, f"exit status {game.exit_code} after closing the window")


@scenario
def escape_on_menu(ctx):
    """Escape on the menu still shows the level-start screen, then the lost end
    page; Escape there ends the program after the credits, left by 'Quitter'."""
    game = ctx.start("game")
    open_menu(game)
    game.key("Escape")
    game.wait_picture("the level-start screen, shown all the same",
                      lambda i: level_start_shown(i, 600), "level-start")
    check(game.caption() == WELCOME, f"level-start caption is {game.caption()!r}")
    game.key("Escape")
    end_page = wait_end_page(game, LOST)
    check_end_page(game, end_page, 600, won=False, score=0)
    game.key("Escape")
    game.wait_caption(CREDITS)
    quit_plate = credits_areas(600)[0]
    game.wait_picture("the credits with their 'Quitter' plate", lambda i: unlit(i, quit_plate), "credits")
    game.press(*middle(quit_plate))
    game.release(*OFF_THE_PLATES)
    time.sleep(0.3)  # several passes of the screen
    check(game.running() and game.caption() == CREDITS,
          "a press on 'Quitter' released elsewhere left the credits")
    game.click(*middle(quit_plate))
    code, seen = wait_exit_watching(game)
    check(code == 0, f"exit status {code}")
    check(WELCOME not in seen, f"a new game began after Escape on the end page: {seen}")


@scenario
def escape_on_level_start(ctx):
    """Escape on the level-start screen: lost end page; Return there gives a new
    game after the credits; closing the window on its menu ends the program."""
    game = ctx.start("game")
    open_menu(game)
    choose(game, ONE_PLAYER)
    game.key("Escape")
    check_end_page(game, wait_end_page(game, LOST), 600, won=False, score=0)
    game.key("Return")
    game.wait_caption(CREDITS)
    game.key("Return")
    open_menu(game)
    game.close_window()
    code, seen = wait_exit_watching(game)
    check(code == 0, f"exit status {code}")
    # Start-up still sets the level caption on its way out; no screen follows.
    check(not set(seen) & set(END_CAPTIONS), f"end screens were shown after the window closed: {seen}")


@scenario
def escape_in_play(ctx):
    """Escape while playing ends the program at once, without end screens."""
    game = ctx.start("game")
    open_menu(game)
    choose(game, ONE_PLAYER)
    begin_level(game, 1)
    game.key("Escape")
    check_ends_at_once(game)


@scenario
def close_in_play(ctx):
    """Closing the window while playing ends the program at once, without end screens."""
    game = ctx.start("game")
    open_menu(game)
    choose(game, ONE_PLAYER)
    begin_level(game, 1)
    game.close_window()
    check_ends_at_once(game)


@scenario
def close_on_level_start(ctx):
    """Closing the window on the level-start screen ends the program."""
    game = ctx.start("game")
    open_menu(game)
    choose(game, ONE_PLAYER)
    game.close_window()
    check_ends_at_once(game)


@scenario
def close_in_pause(ctx):
    """Closing the window in the pause ends the program."""
    game = ctx.start("game")
    open_menu(game)
    choose(game, ONE_PLAYER)
    begin_level(game, 1)
    game.key("p")
    game.wait_caption(level_caption(1) + " PAUSE")
    game.close_window()
    check_ends_at_once(game)


@scenario
def escape_in_pause(ctx):
    """Escape in the pause ends the game: a hero that ate nothing has lost;
    closing the window on the credits then ends the program."""
    game = ctx.start("game", levels={"Niveau_1.txt": WALLS_ROUND_THE_HERO})
    open_menu(game)
    choose(game, ONE_PLAYER)
    begin_level(game, 1)
    game.key("p")
    game.wait_caption(level_caption(1) + " PAUSE")
    game.key("Escape")
    end_page = wait_end_page(game, LOST)
    check_end_page(game, end_page, 600, won=False, score=0)
    game.key("Escape")
    game.wait_caption(CREDITS)
    game.close_window()
    code, seen = wait_exit_watching(game)
    check(code == 0, f"exit status {code}")
    check(WELCOME not in seen, f"a new game began: {seen}")


def axis_of_motion(game, pause=0.3):
    """Which way the only moving thing on the field goes: 'vertical',
    'horizontal' or None, from what changed between two screenshots."""
    first = game.screenshot("motion")
    time.sleep(pause)
    second = game.screenshot("motion")
    changed = changed_box(first, second, ignore=HUD_BANDS + (AROUND_HERO_START,))
    if changed is None:
        return None, "nothing moved"
    left, top, right, bottom = changed
    wide, tall = right - left, bottom - top
    if tall >= wide + 15:
        return "vertical", changed
    if wide >= tall + 15:
        return "horizontal", changed
    return None, changed


def moving(game, axis):
    seen, changed = axis_of_motion(game)
    return seen == axis, (seen, changed)


@scenario
def two_players(ctx):
    """With two players, w, a, s and d steer enemy 0 (the only enemy of level 1,
    which makes no random turns there)."""
    game = ctx.start("game")
    open_menu(game)
    choose(game, TWO_PLAYERS)
    begin_level(game, 1)
    # The hero stays at its start, whose square is left out of the comparison.
    first = wait_until("enemy 0 moving along one axis", lambda: axis_of_motion(game))
    keys = [("d", "horizontal"), ("w", "vertical"), ("a", "horizontal"), ("s", "vertical")]
    if first == "horizontal":
        keys = keys[1:] + keys[:1]
    for key, axis in keys:  # every key turns the enemy onto the other axis
        game.key(key)
        try:
            wait_until(f"enemy 0 moving {axis}ly after '{key}'", lambda: moving(game, axis), timeout=3)
        except Failure:
            # A turn asked in the very frame in which the enemy touches the
            # left or top edge is undone there by the edge rule: ask once more.
            game.key(key)
            wait_until(f"enemy 0 moving {axis}ly after '{key}' (pressed twice)",
                       lambda: moving(game, axis), timeout=5)
    game.key("Escape")
    check(game.wait_exit() == 0, f"exit status {game.exit_code}")


@scenario
def music(ctx):
    """The level-start screen plays the music; play starts with it off; Space
    switches it on."""
    game = ctx.start("game", record_sound=True)
    open_menu(game)
    choose(game, ONE_PLAYER)
    mark = game.sound_written()
    wait_until("music while the level-start screen shows",
               lambda: is_sounding(game.sound_between(mark, game.sound_written())))

    begin_level(game, 1)
    time.sleep(0.3)  # the first frames stop the stream
    mark = game.sound_written()
    wait_until("a second of sound written", lambda: game.sound_written() > mark + 150000)
    check(is_silent(game.sound_between(mark, game.sound_written())),
          "play begins with the music off, yet sound was written")

    game.key("space")
    mark = game.sound_written()
    wait_until("music after Space",
               lambda: is_sounding(game.sound_between(mark, game.sound_written())))
    for track in (1, 2, 3, 4, 0):  # F1 through every shipped track, WAV and MP3
        game.key("F1")
        time.sleep(0.3)  # Choixson's wait and the track change
        mark = game.sound_written()
        wait_until(f"music of track {track} after F1",
                   lambda: is_sounding(game.sound_between(mark, game.sound_written())))
    game.key("Escape")
    check(game.wait_exit() == 0, f"exit status {game.exit_code}")


@scenario
def zoomed(ctx):
    """--zoom 2: the window twice as large each way, every pixel a 2 x 2 block
    (the harness checks each screenshot), (600, 580) on screen is '1 joueur'."""
    game = ctx.start("game", args=["--zoom", "2"])
    open_menu(game)
    check(game.size() == (1200, 1200), f"the zoomed menu window is {game.size()}")
    game.click(600 // 2, 580 // 2)
    game.wait_picture("the level-start screen of level 1", lambda i: level_start_shown(i, 600), "zoomed")
    begin_level(game, 1)
    game.key("g")
    game.wait_size(700, 600)
    check(game.size() == (1400, 1200), f"the zoomed level-2 window is {game.size()}")
    game.wait_picture("the level-start screen of level 2", lambda i: level_start_shown(i, 700), "zoomed")
    begin_level(game, 2)
    game.key("Escape")
    check(game.wait_exit() == 0, f"exit status {game.exit_code}")
