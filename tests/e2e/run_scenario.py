"""Plays one scenario of tests/scenarios/ against the real programs.

    run_scenario.py NAME --assets DIR --artifacts DIR [--game PATH] [--editor PATH] [--packaging DIR]

NAME.txt is read in the scenario language that tests/web/harness.js reads
too (its lines are described there); exit status 0 when it passes, 1 when it
fails, naming the line and keeping the screenshots and the program's output.
"""

import argparse
import os
import shlex
import shutil
import signal
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # keep the source folder clean
import harness  # noqa: E402
from harness import Failure, check, wait_until  # noqa: E402

SCENARIOS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scenarios")
# Share of a box's pixels that pass, at least (or at most when negative).
LOOKS = {"idle": (lambda p: p == (150, 150, 150), 0.5), "lit": (lambda p: p == (150, 150, 150), -0.02),
         "dark": (lambda p: sum(p) < 300, 0.02), "wall": (lambda p: p[2] > p[0] + 40, 0.3),
         "clear": (lambda p: min(p) > 240, 0.9), "black": (lambda p: max(p) < 40, 0.95)}
ENDINGS = ("WELCOME", "WON", "LOST", "CREDITS")  # what a program leaving at once never shows


def read(name):
    """The lines of a file of the scenario language, as (place, words)."""
    with open(os.path.join(SCENARIOS, name), encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            if line.strip() and not line.lstrip().startswith("#"):
                words = [w.encode("latin-1").decode("unicode_escape") for w in shlex.split(line)]
                yield f"{name}:{number}", words


class Player:
    def __init__(self, args):
        self.args, self.session, self.sessions, self.folders = args, None, [], []
        self.boxes, self.texts, self.defs = {}, {}, {}
        for _, (kind, name, *rest) in read("geometry.txt"):
            (self.boxes if kind == "box" else self.texts)[name] = rest if kind == "box" else rest[0]

    def play(self, lines):
        """Runs lines, gathering def ... end blocks; returns at an `end`."""
        lines = iter(lines)
        for place, words in lines:
            self.place = place
            if words[0] == "def":
                self.defs[words[1]] = self._block(lines)
            elif words[0] == "web:":
                continue
            else:
                self.step(*(words[1:] if words[0] == "desktop:" else words))

    @staticmethod
    def _block(lines):
        block = []
        for place, words in lines:
            if words == ["end"]:
                return block
            block.append((place, words))
        raise Failure("a def without its end")

    def text(self, word):
        return self.texts.get(word, word)

    def box(self, words):
        """A named box, or x y: the 25-pixel cell at that corner."""
        if words[0] in self.boxes:
            width = self.session.size()[0] if self.session.size() else 600
            x, y, w, h = (width // 2 + int(v[1:]) if v.startswith("c") else int(v) for v in self.boxes[words[0]])
            return x, y, w, h
        return int(words[0]), int(words[1]), 25, 25

    def middle(self, words):
        x, y, w, h = self.box(words)
        return x + w // 2, y + h // 2

    def share(self, image, box, test):
        x, y, w, h = box
        pixels = list(image.crop((x, y, x + w, y + h)).getdata())
        return sum(1 for p in pixels if test(p)) / len(pixels)

    def start(self, program, args, workdir=None, **launch):
        workdir = workdir or harness.make_workdir(self.args.assets)
        self.folders.append(workdir)
        self.session = harness.Session(program, workdir, self.args.artifacts, args, **launch)
        self.sessions.append(self.session)
        self.seen_opened, self.sound_mark = 0, 0

    def finish(self):
        for session in self.sessions:
            session.finish()
        for path in self.folders:
            shutil.rmtree(path, ignore_errors=True)
        self.sessions, self.folders = [], []

    def step(self, command, *words):
        s = self.session
        if command == "open":
            self.start(getattr(self.args, words[0]), words[1:])
        elif command == "launch":
            self.launch(words[0], words[1:])
        elif command == "run":
            self.play(self.defs[words[0]])
        elif command == "case":  # where, how, then: a run of its own
            self.finish()
            self.case = " (case " + " ".join(words) + ")"
            self.play(self.defs[words[0]])
            self.step(*(("close",) if words[1] == "close" else ("key", words[1])))
            self.play(self.defs[words[2]])
        elif command == "caption":
            wanted = [self.text(w) for w in words]
            wait_until(f"the caption {wanted}", lambda: (s.caption() in wanted, s.caption()))
        elif command == "size":
            wait_until(f"a {words[0]} x {words[1]} window",
                       lambda: (s.size() == (int(words[0]), int(words[1])), s.size()))
        elif command == "see":
            test, least = LOOKS[words[-1]]
            box = self.box(words[:-1])

            def looks():
                share = self.share(s.screenshot(), box, test)
                return (share >= least if least > 0 else share <= -least), f"{share:.0%}"
            wait_until(f"{' '.join(words[:-1])} {box} {words[-1]}", looks)
        elif command in ("click", "point", "press", "release"):
            action = {"click": "click", "press": "mousedown", "release": "mouseup"}.get(command)
            x, y = self.middle(words)
            s.button(x, y, action) if action else s.point_at(x, y)
        elif command == "key":
            self.last_key = words[0]
            s.key(words[0])
        elif command == "close":
            s.close_window()
        elif command == "exits":
            self.exits()
        elif command == "opened":
            self.seen_opened += 1
            wanted = words[0] if "://" in words[0] else os.path.realpath(os.path.join(s.workdir, words[0]))
            wait_until(f"{wanted} asked of the desktop", lambda: (
                [o if "://" in o else os.path.realpath(os.path.join(s.workdir, o))
                 for o in s.opened()][:self.seen_opened][-1:] == [wanted], s.opened()))
        elif command == "mark":
            self.marked = s.screenshot()
        elif command == "changed":
            x, y, w, h = self.box(words)
            wait_until(f"{words} changed", lambda: (harness.changed_box(
                self.marked.crop((x, y, x + w, y + h)), s.screenshot().crop((x, y, x + w, y + h))), None))
        elif command == "still":  # a negative check: it watches one second, four of the game's ticks
            time.sleep(1.0)
            check(harness.changed_box(self.marked, s.screenshot()) is None, "the screen changed")
        elif command == "music":
            self.music(words[0])
        elif command == "motion":
            self.motion(words[0])
        elif command in ("level", "file"):
            path = os.path.join(s.workdir, "Niveaux", words[0])
            data = words[1].encode("latin-1")
            if command == "level":
                with open(path, "wb") as f:
                    f.write(data)
            else:
                wait_until(f"{words[0]} holding {data!r}", lambda: (
                    os.path.exists(path) and open(path, "rb").read() == data, os.listdir(os.path.dirname(path))))
        elif command == "only":
            check(os.listdir(os.path.join(s.workdir, "Niveaux")) == list(words), "another file was written")
        else:
            raise Failure(f"no such step {command!r}")

    def exits(self):
        """The program ends cleanly, showing no end screen or new game on its way."""
        s, shown = self.session, []
        first = s.caption()
        wait_until(f"{s.name} ending", lambda: (shown.append(s.caption()) or s.process.poll() is not None, shown[-1]))
        check(s.process.wait() == 0, f"exit status {s.process.returncode}")
        endings = {self.texts[t] for t in ENDINGS} - {first}
        check(not endings & set(shown), f"it showed {shown} on its way out")

    def music(self, how):
        """on (or next: which track is not told by the sound): music since the
        step; off: a third of a second of silence, the stream stopped."""
        s, mark = self.session, len(self.session.sound())

        def chunks():
            sound = s.sound(mark)
            return [sound[k:k + 4096] for k in range(0, len(sound) - 4095, 4096)]
        if how == "off":
            wait_until("the music off", lambda: len(chunks()) >= 16 and all(map(harness.is_silent, chunks()[-16:])))
        else:
            wait_until("music", lambda: any(map(harness.is_sounding, chunks())))

    def motion(self, axis):
        """The only moving thing on the field goes along axis. A turn asked as
        it touched an edge is undone by the edge rule: the key is asked again."""
        s, fields = self.session, []

        def moving():
            fields.append(s.screenshot().crop((0, 40, s.size()[0], 560)))
            if len(fields) % 8 == 0 and axis != "any":
                s.key(self.last_key)
            box = harness.changed_box(fields[-2], fields[-1]) if len(fields) > 1 else None
            if not box:
                return False, box
            wide, tall = box[2] - box[0], box[3] - box[1]
            seen = "vertical" if tall >= wide + 15 else "horizontal" if wide >= tall + 15 else None
            return (seen == axis or (axis == "any" and seen)), box
        wait_until(f"motion {axis}", moving, timeout=20)

    def launch(self, launcher, args):
        """A launcher as the package installs it: the launchers, programs and
        assets laid out in a folder, and the player's home in it."""
        root = getattr(self, "root", None)
        if not root:
            root = self.root = tempfile.mkdtemp(prefix="glouto-installed-")
            self.folders.append(root)
            games, lib = os.path.join(root, "usr/games"), os.path.join(root, "usr/lib/games/glouto")
            os.makedirs(games)
            os.makedirs(lib)
            os.makedirs(os.path.join(root, "usr/share/games"))
            os.makedirs(os.path.join(root, "home/.local/share/glouto"))
            for name in ("glouto", "glouto-editeur", "glouto-niveau"):
                shutil.copy(os.path.join(self.args.packaging, name), games)
            for program in ("game", "editor"):
                os.symlink(getattr(self.args, program), os.path.join(lib, program))
            os.symlink(self.args.assets, os.path.join(root, "usr/share/games/glouto"))
        home = os.path.join(root, "home")
        self.start(os.path.join(root, "usr/games", launcher), args, os.path.join(home, ".local/share/glouto"),
                   env={"HOME": home, "XDG_DATA_HOME": ""},
                   window_class="editor" if launcher.endswith("editeur") else "game")
        self.folders.remove(self.session.workdir)


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
        if player.session:
            print(f"  caption then: {player.session.caption()!r}; kept in {args.artifacts}")
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
