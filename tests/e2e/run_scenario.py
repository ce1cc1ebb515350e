"""Plays one scenario of tests/scenarios/ on the desktop, as tests/web/
harness.js plays it in the browser (the language is told in scenarios.js).

    run_scenario.py NAME --assets DIR --artifacts DIR [--game PATH] [--editor PATH] [--packaging DIR]

Exit status 0 when it passes, 1 when it fails, naming the line and keeping
the screenshots and the program's output.
"""

import argparse
import itertools
import os
import shlex
import shutil
import signal
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # keep the source folder clean
from harness import Failure, Session, changed_box, check, wait_until, words_in  # noqa: E402

SCENARIOS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scenarios")
# Share of a box's pixels that pass, at least (or at most when negative).
LOOKS = {"idle": (lambda p: p == (150, 150, 150), 0.5), "lit": (lambda p: p == (150, 150, 150), -0.02),
         "dark": (lambda p: sum(p) < 300, 0.02), "wall": (lambda p: p[2] > p[0] + 40, 0.3),
         "nowall": (lambda p: p[2] > p[0] + 40, -0.0), "clear": (lambda p: min(p) > 240, 0.9),
         "sprite": (lambda p: min(p) > 240, -0.8), "black": (lambda p: sum(p) < 120, 0.95)}
ENDINGS = ("WELCOME", "WON", "LOST", "CREDITS")  # what a program leaving at once never shows


def read(name):
    """The steps of a file, as (place, words); "a ; b" are two steps."""
    with open(os.path.join(SCENARIOS, name), encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            if line.strip() and not line.lstrip().startswith(("#", "web:")):
                words = [w.encode("latin-1").decode("unicode_escape") for w in shlex.split(line)]
                while words:
                    step = words[:words.index(";")] if ";" in words else words
                    yield f"{name}:{number}", step[1:] if step[0] == "desktop:" else step
                    words = words[len(step) + 1:]


class Player:
    def __init__(self, args):
        self.args, self.session, self.sessions, self.defs, self.seen, self.root = args, None, [], {}, 0, None
        self.boxes = {name: rest for _, (kind, name, *rest) in read("geometry.txt") if kind == "box"}
        self.texts = {name: rest[0] for _, (kind, name, *rest) in read("geometry.txt") if kind == "text"}

    def play(self, lines, within=""):
        lines = iter(lines)
        for place, (command, *words) in lines:
            self.place = place + within
            if command == "def":
                self.defs[words[0]] = list(itertools.takewhile(lambda line: line[1] != ["end"], lines))
            else:
                self.step(command, *words)

    def boxes_of(self, words):
        """Named boxes, or x y: the 25-pixel cell at that corner."""
        width = (self.session.size() or (600,))[0]
        while words:
            if words[0] in self.boxes:
                yield [width // 2 + int(v[1:]) if v[0] == "c" else int(v) for v in self.boxes[words[0]]]
                words = words[1:]
            else:
                yield [int(words[0]), int(words[1]), 25, 25]
                words = words[2:]

    def start(self, program, args, **launch):
        self.session = Session(program, self.args.assets, self.args.artifacts, args, **launch)
        self.sessions.append(self.session)
        self.seen = 0

    def finish(self):
        for session in self.sessions:
            session.finish()
        self.sessions = []
        shutil.rmtree(self.root or "/nonexistent", ignore_errors=True)

    def step(self, command, *words):
        s, text = self.session, lambda word: self.texts.get(word, word)
        if command == "open":
            self.start(getattr(self.args, words[0]), words[1:])
        elif command == "launch":
            self.launch(words[0], words[1:])
        elif command == "run":
            self.play(self.defs[words[0]], f" from {self.place}")
        elif command == "case":  # where, how, then: a run of its own
            self.finish()
            self.case = f" (case {' '.join(words)})"
            self.play(self.defs[words[0]])
            self.step(*(["close"] if words[1] == "close" else ["key", words[1]]))
            self.play(self.defs[words[2]])
        elif command == "caption":
            wanted = [text(w) for w in words]
            wait_until(f"the caption {wanted}", lambda: (s.caption() in wanted, s.caption()))
        elif command == "size":
            wait_until(f"a {words} window", lambda: (s.size() == tuple(map(int, words)), s.size()))
        elif command == "see":
            test, least = LOOKS[words[-1]]
            for x, y, w, h in self.boxes_of(words[:-1]):
                def looks():
                    pixels = list(s.screenshot().crop((x, y, x + w, y + h)).getdata())
                    share = sum(map(test, pixels)) / len(pixels)
                    return share >= least if least > 0 else share <= -least, f"{share:.0%}"
                wait_until(f"{words[-1]} at {x, y, w, h}", looks)
        elif command in ("click", "point"):
            x, y, w, h = next(self.boxes_of(words))
            s.point_at(x + w // 2, y + h // 2, *(["click", 1] if command == "click" else []))
        elif command == "key":
            self.last_key = words[0]
            s.key(words[0])
        elif command == "close":
            s.close_window()
        elif command == "exits":  # cleanly, showing no end screen or new game on its way
            first, shown = s.caption(), []
            wait_until("the end", lambda: (shown.append(s.caption()) or s.process.poll() is not None, shown[-1]))
            check(s.process.wait() == 0, f"exit status {s.process.returncode}")
            check(not {text(t) for t in ENDINGS} - {first} & set(shown), f"it showed {shown} on its way out")
        elif command == "opened":
            self.seen += 1
            real = lambda where: where if "://" in where else os.path.realpath(os.path.join(s.workdir, where))  # noqa
            wait_until(f"{words[0]} asked of the desktop",
                       lambda: ([real(o) for o in s.opened()[:self.seen]][-1:] == [real(words[0])], s.opened()))
        elif command == "mark":
            self.marked = s.screenshot()
        elif command == "changed":
            x, y, w, h = next(self.boxes_of(words))
            wait_until(f"{words} changed", lambda: (changed_box(self.marked.crop((x, y, x + w, y + h)),
                                                                s.screenshot().crop((x, y, x + w, y + h))), None))
        elif command == "still":  # a check that nothing happens: it watches a second, four of the game's ticks
            time.sleep(1.0)
            check(changed_box(self.marked, s.screenshot()) is None, "the screen changed")
        elif command == "music":  # on or next (the sound does not tell which track), or off
            mark = len(s.sound())
            pieces = lambda: [s.sound(mark)[k:k + 4096] for k in range(0, len(s.sound(mark)) - 4095, 4096)]  # noqa
            if words[0] == "off":  # a third of a second of silence: the stream stopped
                wait_until("the music off", lambda: len(pieces()) > 16 and max(map(words_in, pieces()[-16:])) == 1)
            else:
                wait_until("music", lambda: any(words_in(p) > 32 for p in pieces()))
        elif command == "motion":
            self.motion(words[0])
        elif command in ("level", "file"):
            path, data = os.path.join(s.workdir, "Niveaux", words[0]), words[1].encode("latin-1")
            if command == "level":
                open(path, "wb").write(data)
            wait_until(f"{words[0]} holding {data!r}", lambda: (os.path.exists(path) and open(path, "rb").read() == data,
                                                                os.listdir(os.path.dirname(path))))
        elif command == "only":
            check(os.listdir(os.path.join(s.workdir, "Niveaux")) == list(words), "another file was written")
        else:
            raise Failure(f"no such step {command!r}")

    def motion(self, axis):
        """The only moving thing on the field goes along axis. A turn asked as
        it touched an edge is undone by the edge rule: the key is asked again."""
        s, fields = self.session, []

        def moving():
            fields.append(s.screenshot().crop((0, 40, s.size()[0], 560)))
            if len(fields) % 8 == 0 and axis != "any":
                s.key(self.last_key)
            box = changed_box(fields[-2], fields[-1]) if len(fields) > 1 else None
            wide, tall = (box[2] - box[0], box[3] - box[1]) if box else (0, 0)
            seen = "vertical" if tall >= wide + 15 else "horizontal" if wide >= tall + 15 else None
            return seen == axis or (axis == "any" and seen), box
        wait_until(f"motion {axis}", moving, timeout=20)

    def launch(self, launcher, args):
        """A launcher as the package installs it, beside the programs and the
        assets, with the player's home in the same folder."""
        if not self.root:
            root = self.root = tempfile.mkdtemp(prefix="glouto-installed-")
            for folder in ("usr/games", "usr/lib/games/glouto", "usr/share/games", "home/.local/share/glouto"):
                os.makedirs(os.path.join(root, folder))
            for name in ("glouto", "glouto-editeur", "glouto-niveau"):
                shutil.copy(os.path.join(self.args.packaging, name), os.path.join(root, "usr/games"))
            for program in ("game", "editor"):
                os.symlink(getattr(self.args, program), os.path.join(root, "usr/lib/games/glouto", program))
            os.symlink(self.args.assets, os.path.join(root, "usr/share/games/glouto"))
        self.start(os.path.join(self.root, "usr/games", launcher), args,
                   workdir=os.path.join(self.root, "home/.local/share/glouto"),
                   env={"HOME": os.path.join(self.root, "home"), "XDG_DATA_HOME": ""},
                   window_class="editor" if launcher.endswith("editeur") else "game")


def main():
    parser = argparse.ArgumentParser()
    for option in ("name", "--assets", "--artifacts", "--game", "--editor", "--packaging"):
        parser.add_argument(option)
    args = parser.parse_args()
    shutil.rmtree(args.artifacts, ignore_errors=True)
    player = Player(args)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside (the test's time limit?)"))
    try:
        player.play(read("steps.txt"))
        player.play(read(args.name + ".txt"))
    except Exception as error:  # a failed check, or the harness itself
        print(f"FAIL {args.name} at {player.place}{getattr(player, 'case', '')}: {error}")
        print(f"  caption then: {player.session and player.session.caption()!r}; kept in {args.artifacts}")
        if not isinstance(error, Failure):
            raise
        return 1
    finally:
        player.finish()
    shutil.rmtree(args.artifacts, ignore_errors=True)
    print(f"PASS {args.name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
