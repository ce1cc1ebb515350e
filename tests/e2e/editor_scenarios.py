"""The editor used through its window, and a level it drew played in the game."""

import os
import shutil
import tempfile
import time

from harness import (asset_picture, box, check, lit, middle, picture_match, share_of_colour,
                     unlit, wait_until)
import game_scenarios

SCENARIOS = {}


def scenario(function):
    SCENARIOS["editor." + function.__name__] = function
    return function


CAPTION = "Editeur de Niveaux : Creez vos niveaux !"
SIZE_BUTTONS = [box(150, 100, 100, 40), box(150, 150, 100, 40), box(150, 200, 100, 40),
                box(150, 250, 100, 40), box(145, 300, 110, 40)]
WIDTHS = [600, 700, 800, 900, 1000]
OFF_THE_PLATES = (20, 380)
SAVED = "Niveau_.txt"


def reserved_cells(width):
    """Where the game starts its enemies (26, 26) and its hero (width/2 + 1, 301)."""
    cx = width // 2
    return [(25, 25), (50, 25), (25, 50), (50, 50), (cx, 300), (cx + 25, 300), (cx, 325), (cx + 25, 325)]


def cell(corner):
    x, y = corner
    return box(x, y, 25, 25)


def inside(corner):
    x, y = corner
    return x + 12, y + 12


def black(image, corner):
    return share_of_colour(image, cell(corner), (0, 0, 0)) > 0.95


def shows(image, corner, picture):
    return picture_match(image, corner, picture.crop((0, 0, 25, 25))) > 0.9


def size_screen_shown(image):
    return all(unlit(image, plate) for plate in SIZE_BUTTONS)


def open_size_screen(editor):
    editor.wait_caption(CAPTION)
    editor.wait_size(400, 400)
    editor.point_at(*OFF_THE_PLATES)
    editor.wait_picture("the level-size screen with its five grey plates", size_screen_shown,
                        "size-screen")


def choose_width(editor, button):
    editor.click(*middle(SIZE_BUTTONS[button]))
    width = WIDTHS[button]
    editor.wait_size(width, 600)
    return width


def wait_grid(editor, width):
    """The grid: its eight reserved cells black, ordinary cells empty."""
    blank = asset_picture(editor, "blanc.png")
    reserved = reserved_cells(width)
    ordinary = [(0, 0), (75, 75), (width - 25, 575), (width // 2 - 25, 300), (width // 2 + 50, 325)]
    return editor.wait_picture(
        f"the {width}-wide grid with black cells at {reserved}",
        lambda i: all(black(i, c) for c in reserved) and all(shows(i, c, blank) for c in ordinary),
        "grid", timeout=15)


def saved_bytes(editor):
    path = editor.level_file(SAVED)
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def draw_walls(editor, corners):
    wall = asset_picture(editor, "Mur.png")
    for corner in corners:
        editor.click(*inside(corner))
    editor.wait_picture(f"walls at {corners}", lambda i: all(shows(i, c, wall) for c in corners),
                        "walls")


def save(editor, expected):
    editor.key("Return")
    wait_until(f"{SAVED} holding {expected!r}",
               lambda: (saved_bytes(editor) == expected, saved_bytes(editor)))


def check_escape_keeps(editor, saved):
    """Escape ends the editor cleanly and leaves the saved level as it was, with no other file."""
    editor.key("Escape")
    check(editor.wait_exit() == 0, f"exit status {editor.exit_code}")
    check(saved_bytes(editor) == saved, f"Escape changed the saved level: {saved_bytes(editor)!r}")
    check(os.listdir(os.path.dirname(editor.level_file(SAVED))) == [SAVED], "Escape wrote a file")


@scenario
def save_cycle(ctx):
    """Choose a size, place and remove walls, save, and start over; Escape in
    the next cycle ends the editor without touching the saved file."""
    editor = ctx.start("editor")
    open_size_screen(editor)

    editor.point_at(*middle(SIZE_BUTTONS[2]))
    editor.wait_picture("'Niveau 3' lit under the pointer, the other plates grey",
                        lambda i: lit(i, SIZE_BUTTONS[2])
                        and all(unlit(i, p) for k, p in enumerate(SIZE_BUTTONS) if k != 2),
                        "size-hover")

    editor.press(*middle(SIZE_BUTTONS[0]))
    time.sleep(0.5)  # many passes of the screen
    check(editor.size() == (400, 400), f"a press alone chose a size: window {editor.size()}")
    editor.release(*middle(SIZE_BUTTONS[0]))
    editor.wait_size(600, 600)
    wait_grid(editor, 600)

    first, second, third = (100, 100), (150, 100), (200, 125)
    draw_walls(editor, [first, second, third])
    editor.click(*inside((25, 25)))  # reserved: takes no wall
    editor.click(*inside(second))    # a wall: taken away
    blank, wall = asset_picture(editor, "blanc.png"), asset_picture(editor, "Mur.png")
    editor.wait_picture("the second wall taken away, the reserved cell still black",
                        lambda i: shows(i, second, blank) and shows(i, first, wall)
                        and shows(i, third, wall) and black(i, (25, 25)), "wall-removed")
    expected = b"2\n100\t100\n200\t125\n"
    save(editor, expected)

    open_size_screen(editor)  # the next cycle
    choose_width(editor, 4)
    grid = wait_grid(editor, 1000)
    check(shows(grid, (300, 300), blank), "(300, 300) is an ordinary cell 1000 pixels wide")
    draw_walls(editor, [(700, 400)])
    check_escape_keeps(editor, expected)


@scenario
def escape_writes_nothing(ctx):
    earlier = b"1\n0\t0\n"
    editor = ctx.start("editor", levels={SAVED: earlier})
    open_size_screen(editor)
    choose_width(editor, 1)
    wait_grid(editor, 700)
    draw_walls(editor, [(400, 400), (0, 0)])
    check_escape_keeps(editor, earlier)


def installed(ctx):
    """The launchers, programs and assets laid out as the package installs
    them; returns the launchers' folder and the player's, where they run."""
    root = tempfile.mkdtemp(prefix="glouto-installed-")
    ctx.workdirs.append(root)
    games, lib = os.path.join(root, "usr/games"), os.path.join(root, "usr/lib/games/glouto")
    os.makedirs(games)
    for launcher in ("glouto", "glouto-editeur", "glouto-niveau"):
        shutil.copy(os.path.join(ctx.packaging, launcher), games)  # they find the rest beside them
    os.makedirs(lib)
    for program in ("game", "editor"):
        os.symlink(ctx.programs[program], os.path.join(lib, program))
    os.makedirs(os.path.join(root, "usr/share/games"))
    os.symlink(ctx.assets, os.path.join(root, "usr/share/games/glouto"))
    player = os.path.join(root, "home/.local/share/glouto")
    os.makedirs(player)
    return games, player


@scenario
def zoomed(ctx):
    """--zoom 2: the level-size screen is 800 x 800, and (1198, 1198) on screen
    is cell (575, 575) of the 600-wide grid."""
    editor = ctx.start("editor", args=["--zoom", "2"])
    open_size_screen(editor)
    check(editor.size() == (800, 800), f"the zoomed level-size window is {editor.size()}")
    choose_width(editor, 0)
    wait_grid(editor, 600)
    editor.click(1198 // 2, 1198 // 2)
    save(editor, b"1\n575\t575\n")


@scenario
def round_trip(ctx):
    """A designer opens shipped level 3 with glouto-editeur 3, moves a wall,
    saves, and plays the changed level at once with glouto --niveau 3."""
    games, player = installed(ctx)
    launch = dict(workdir=player, env={"HOME": player.rsplit("/.local", 1)[0], "XDG_DATA_HOME": ""})
    with open(os.path.join(ctx.assets, "Niveaux", "Niveau_3.txt"), "rb") as f:
        shipped_bytes = f.read()
    numbers = [int(n) for n in shipped_bytes.split()]
    walls = list(zip(numbers[1::2], numbers[2::2]))
    # Away from the head-up texts and the starts; a wall beside another keeps
    # chests off its cell once it is gone.
    def clear(x, y):
        return 100 <= x <= 675 and 75 <= y <= 500 and not (325 <= x <= 475 and 250 <= y <= 375)
    moved = next((x, y) for x, y in walls if clear(x, y) and (x, y + 25) in walls)
    target = next((x, y) for y in range(75, 501, 25) for x in range(100, 676, 25)
                  if clear(x, y) and (x, y) not in walls)

    editor = ctx.start(os.path.join(games, "glouto-editeur"), args=["3"], window_class="editor",
                       **launch)
    open_size_screen(editor)
    choose_width(editor, 2)
    wall, blank = asset_picture(editor, "Mur.png"), asset_picture(editor, "blanc.png")
    editor.wait_picture(f"shipped level 3 on the grid, {moved} among its walls",
                        lambda i: shows(i, moved, wall) and shows(i, walls[0], wall)
                        and shows(i, target, blank), "opened", timeout=15)
    editor.click(*inside(moved))
    editor.click(*inside(target))
    changed = [c for c in walls if c != moved] + [target]
    save(editor, b"%d\n" % len(changed) + b"".join(b"%d\t%d\n" % c for c in changed))
    open_size_screen(editor)
    editor.close_window()
    check(editor.wait_exit(20) == 0, f"glouto-editeur 3 ended with status {editor.exit_code}")
    with open(editor.level_file("Niveau_3.txt"), "rb") as now, \
            open(editor.level_file("Niveau_3.txt~"), "rb") as kept:
        check(now.read() == saved_bytes(editor), "the save did not become level 3")
        check(kept.read() == shipped_bytes, "the shipped level 3 was not kept as ~")

    game = ctx.start(os.path.join(games, "glouto"), args=["--niveau", "3"], window_class="game",
                     **launch)
    game_scenarios.open_menu(game)
    game.click(*middle(game_scenarios.ONE_PLAYER))
    image = game.wait_picture("the level-start screen of level 3, 800 wide",
                              lambda i: i.width == 800 and game_scenarios.level_start_shown(i, 800),
                              "level-start")
    game_scenarios.check_level_start(game, image, 800, 3)
    game.point_at(*game_scenarios.OFF_THE_PLATES)
    game_scenarios.begin_level(game, 3)
    game.key("Control_L")  # no enemy crosses the walls
    game.wait_picture(f"the wall at {target} and none at {moved}",
                      lambda i: picture_match(i, target, wall, white_is_clear=True) > 0.9
                      and share_of_colour(i, cell(moved), (255, 255, 255)) > 0.99, "game-walls")
    game.key("Escape")
    check(game.wait_exit() == 0, f"exit status {game.exit_code}")
