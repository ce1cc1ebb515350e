"""Two real games on the two ends of a socket pair (GLOUTO_LIEN), the host (--deux-ecrans) and the guest (--invite),
each in a folder of its own, headless, their keys played by the scripted_keys shim at frames both games share; then
the host against a guest that sends what no game sends, one case a run.
    two_screens.py GAME SHIM ASSETS"""
import glob, os, shutil, socket, subprocess, sys, tempfile
from PIL import Image

game, shim, assets = sys.argv[1:4]
HEADLESS = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
# The host's level 1 is its own: one wall, far from both players; the guest has the shipped ones.
OWN_LEVEL = "1\n500\t500\n"
# Its clock run out (t), the end screen (lost or won, by the draw) asks for a new game, the credits left; the
# second game left by Escape.
HOST = ("return 0 Glouto_!;shot:paused 0 PAUSE;shot:end 30 Niveau_1;t 0 Niveau_1;return 0 :(|:);return 0 ...;"
        "return 0 Glouto_!;escape 20 Niveau_1")
# The monster still, steered right by the guest's right arrow; the pause asked for, and left, on the guest.
GUEST = "shot:start 5 Niveau_1;right 0 Niveau_1;p 25 Niveau_1;p 0 PAUSE;shot:end 30 Niveau_1"
BOXES = {"hero": (301, 301, 50, 50), "enemy": (26, 26, 50, 50), "own_wall": (500, 500, 25, 25)}
LOOKS = {"sprite": lambda px: sum(p == (255, 255, 255) for p in px) < 0.8 * len(px),  # as geometry.txt's
         "clear": lambda px: sum(p == (255, 255, 255) for p in px) >= 0.9 * len(px),
         "wall": lambda px: sum(b > r + 40 for r, g, b in px) >= 0.3 * len(px)}
failures, folders = [], []  # the folders stay for a look when something failed
check = lambda ok, what: ok or failures.append(what)

def folder(levels):
    folders.append(where := tempfile.mkdtemp(prefix="glouto-linked-"))
    [os.symlink(os.path.join(assets, name), os.path.join(where, name)) for name in ("Images", "Police", "Musique")]
    os.mkdir(os.path.join(where, "Niveaux"))
    [open(os.path.join(where, "Niveaux", name), "w").write(text) for name, text in levels.items()]
    return where

def start(option, script, end, where):
    env = dict(HEADLESS, LD_PRELOAD=shim, GLOUTO_SCRIPT=script, GLOUTO_LIEN=str(end.fileno()))
    return subprocess.Popen([game, option], cwd=where, env=env, pass_fds=[end.fileno()], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)

def looks(where, shot, **wanted):
    image = Image.open(os.path.join(where, shot)).convert("RGB")
    for box, look in wanted.items():
        x, y, w, h = BOXES[box]
        check(LOOKS[look](list(image.crop((x, y, x + w, y + h)).getdata())), f"{shot}: the {box} is not {look}")
    return image.tobytes()

def refusals():  # what the guest sends, what the host says (its words, in UTF-8), what it sends last
    frame = lambda n, check: bytes([4, n]) + check.to_bytes(4, "big") + bytes([0])
    hello = bytes([1, 1])
    for lien in ("", "0", "x"):  # no link: none named, not a socket, not a number
        run = subprocess.run([game, "--invite"], env=dict(HEADLESS, GLOUTO_LIEN=lien), stdin=subprocess.DEVNULL,
                             capture_output=True, text=True)
        check(run.returncode == 2 and "GLOUTO_LIEN" in run.stderr and not run.stdout, f"no link, {lien}: {run}")
    for name, sent, words, last in [("version", [bytes([1, 99])], "une autre version", b"\x07\x02"),
                                    ("desync", [hello, frame(3, 0)], "synchronisation", b"\x07\x01"),
                                    ("order", [hello, frame(5, 0)], "hors de son ordre", b"\x07\x02"),
                                    ("cut", [hello, b"\x04\x03"], "illisible", b"\x07\x02"),
                                    ("long", [hello, b"\x03" * 1100], "trop long", b"\x07\x02"),
                                    ("lost", [hello], "perdue", None)]:
        (host_end, guest_end), where = socket.socketpair(), folder({})
        host = start("--deux-ecrans", "return 0 Glouto_!", host_end, where)
        host_end.close()
        guest_end.sendall(b"".join(len(m).to_bytes(2, "big") + m for m in sent))
        name == "lost" and guest_end.shutdown(socket.SHUT_WR)
        out, err = host.communicate(timeout=float(os.environ.get("GLOUTO_E2E_BUDGET", "100")))
        heard = b"".join(iter(lambda: guest_end.recv(65536), b""))
        while heard and len(heard) > 2 + int.from_bytes(heard[:2], "big"):
            heard = heard[2 + int.from_bytes(heard[:2], "big"):]
        check(host.returncode == 0 and out.startswith("Fin de partie") and words in err, f"{name}: {err!r}")
        check((heard[2:] if heard[2:3] == b"\x07" else None) == last, f"{name}: the host's last message: {heard!r}")
        check(len(glob.glob(os.path.join(where, "Parties", "*.partie"))) == 1, f"{name}: no game kept")

def left_first():  # the guest, held two frames before the host's Escape ends both, finds the host gone: it plays on
    (host_end, guest_end), places, out = socket.socketpair(), [folder({}), folder({})], {}
    os.mkfifo(hold := os.path.join(places[1], "hold"))
    games = [start("--deux-ecrans", "return 0 Glouto_!;escape 20 Niveau_1", host_end, places[0]),
             start("--invite", f"hold:/dev/null 0 Niveau_1;hold:{hold} 21 Niveau_1", guest_end, places[1])]
    host_end.close(), guest_end.close()
    for n, g in enumerate(games):
        out[n] = g.communicate(timeout=float(os.environ.get("GLOUTO_E2E_BUDGET", "100")))
        n or open(hold, "w").close()
    kept = [open(*glob.glob(os.path.join(where, "Parties", "*.partie")), "rb").read() for where in places]
    check(out[0] == out[1] and kept[0] == kept[1], f"the guest left behind did not end as the host: {out}")

host_end, guest_end = socket.socketpair()
places = {"host": folder({"Niveau_1.txt": OWN_LEVEL}), "guest": folder({})}
games = {"host": start("--deux-ecrans", HOST, host_end, places["host"]),
         "guest": start("--invite", GUEST, guest_end, places["guest"])}
host_end.close(), guest_end.close()  # the games' own ends stay: one leaving is the other's end of the link
said = {side: g.communicate(timeout=float(os.environ.get("GLOUTO_E2E_BUDGET", "100"))) for side, g in games.items()}
[check(g.returncode == 0 and said[side][1] == "", f"{side} ended {g.returncode}: {said}") for side, g in games.items()]
ends = said["host"][0].splitlines()
check(said["guest"][0] == said["host"][0] and len(ends) == 2, f"the ends differ: {said}")

kept = {side: sorted(glob.glob(os.path.join(where, "Parties", "*.partie"))) for side, where in places.items()}
check(all(len(k) == 2 for k in kept.values()), f"two games kept on each side: {kept}")
for n in range(2 if not failures else 0):
    check(len({open(k[n], "rb").read() for k in kept.values()}) == 1, f"the recordings of game {n + 1} differ")
    replay = subprocess.run([game, "--revoir", kept["guest"][n], "--vite"], cwd=places["guest"], env=HEADLESS,
                            capture_output=True, text=True)
    check(replay.returncode == 0 and replay.stdout.strip() == ends[n], f"the replay of game {n + 1}: {replay}")
if not failures:
    looks(places["guest"], "start", hero="sprite", enemy="sprite", own_wall="wall")
    looks(places["host"], "paused", hero="sprite")
    check(len({looks(where, "end", hero="sprite", enemy="clear", own_wall="wall") for where in places.values()}) == 1,
          "the two screens differ at the same frame")
refusals()
left_first()
print("\n".join(failures + [f"kept in {' '.join(folders)}"]) if failures else "PASS two screens")
failures or [shutil.rmtree(where) for where in folders]
sys.exit(1 if failures else 0)
