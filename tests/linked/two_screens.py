"""Two real games on the two ends of a socket pair (GLOUTO_LIEN), the host (--deux-ecrans) and the guest (--invite),
each in a folder of its own, headless, their keys played by the scripted_keys shim at frames both games share.
    two_screens.py GAME SHIM ASSETS"""
import glob, os, socket, subprocess, sys, tempfile
from PIL import Image

game, shim, assets = sys.argv[1:4]
HEADLESS = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
# The host's level 1 is its own: one wall, far from both players; the guest has the shipped ones.
OWN_LEVEL = "1\n500\t500\n"
HOST = "Return 0 Glouto_!;shot:paused 0 PAUSE;shot:end 30 Niveau_1;Escape 0 Niveau_1"
# The monster still, steered right by the guest's right arrow; the pause asked for, and left, on the guest.
GUEST = "shot:start 5 Niveau_1;Right 0 Niveau_1;p 25 Niveau_1;p 0 PAUSE;shot:end 30 Niveau_1"
BOXES = {"hero": (301, 301, 50, 50), "enemy": (26, 26, 50, 50), "own_wall": (500, 500, 25, 25)}
LOOKS = {"sprite": lambda px: sum(p == (255, 255, 255) for p in px) < 0.8 * len(px),  # as geometry.txt's
         "clear": lambda px: sum(p == (255, 255, 255) for p in px) >= 0.9 * len(px),
         "wall": lambda px: sum(b > r + 40 for r, g, b in px) >= 0.3 * len(px)}
failures = []
def check(ok, what):
    ok or failures.append(what)

def folder(levels):
    where = tempfile.mkdtemp(prefix="glouto-linked-")
    for name in ("Images", "Police", "Musique"):
        os.symlink(os.path.join(assets, name), os.path.join(where, name))
    os.mkdir(os.path.join(where, "Niveaux"))
    for name, text in levels.items():
        open(os.path.join(where, "Niveaux", name), "w").write(text)
    return where

def start(option, script, end, where):
    env = dict(HEADLESS, LD_PRELOAD=shim, GLOUTO_SCRIPT=script, GLOUTO_LIEN=str(end.fileno()))
    return subprocess.Popen([game, option], cwd=where, env=env, pass_fds=[end.fileno()], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)

def looks(where, shot, **wanted):
    with Image.open(os.path.join(where, shot)) as image:
        image = image.convert("RGB")
    for box, look in wanted.items():
        x, y, w, h = BOXES[box]
        check(LOOKS[look](list(image.crop((x, y, x + w, y + h)).getdata())), f"{shot}: the {box} is not {look}")
    return image.tobytes()

host_end, guest_end = socket.socketpair()
places = {"host": folder({"Niveau_1.txt": OWN_LEVEL}), "guest": folder({})}
games = {"host": start("--deux-ecrans", HOST, host_end, places["host"]),
         "guest": start("--invite", GUEST, guest_end, places["guest"])}
host_end.close(), guest_end.close()  # the games' own ends stay: one leaving is the other's end of the link
said = {side: g.communicate(timeout=float(os.environ.get("GLOUTO_E2E_BUDGET", "100"))) for side, g in games.items()}
for side, g in games.items():
    check(g.returncode == 0 and said[side][1] == "", f"{side} ended {g.returncode}, said {said[side][1]!r}")
ends = {said[side][0] for side in games}
check(len(ends) == 1 and ends.pop().startswith("Fin de partie : niveau 1"), f"the ends differ: {said}")

kept = {side: glob.glob(os.path.join(where, "Parties", "*.partie")) for side, where in places.items()}
check(all(len(k) == 1 for k in kept.values()), f"one game kept on each side: {kept}")
if not failures:
    recordings = {side: open(k[0], "rb").read() for side, k in kept.items()}
    check(recordings["host"] == recordings["guest"], "the two recordings differ")
    replay = subprocess.run([game, "--revoir", kept["guest"][0], "--vite"], cwd=places["guest"], env=HEADLESS,
                            capture_output=True, text=True)
    check(replay.returncode == 0 and replay.stdout == said["host"][0], f"the replay ended {replay}")
    looks(places["guest"], "start", hero="sprite", enemy="sprite", own_wall="wall")
    looks(places["host"], "paused", hero="sprite")
    ends = [looks(where, "end", hero="sprite", enemy="clear", own_wall="wall") for where in places.values()]
    check(ends[0] == ends[1], "the two screens differ at the same frame")
print("\n".join(failures) or "PASS two screens")
sys.exit(1 if failures else 0)
