"""Runs one end-to-end scenario against the real programs.

    run_scenario.py NAME --assets DIR --artifacts DIR [--game PATH] [--editor PATH]
                    [--packaging DIR]

Exit status 0 when it passes (GLOUTO_E2E_KEEP=1 keeps its screenshots then too), 1 when it fails (the screenshots it took are
kept and named), 77 when this machine cannot run it (no Xvfb, xdotool or
ImageMagick).
"""

import argparse
import importlib.util
import os
import shutil
import signal
import sys
import time
import traceback

sys.dont_write_bytecode = True  # keep the source folder clean
if importlib.util.find_spec("PIL") is None:
    print("this Python has no PIL: apt-get install python3-pil (./glouto.sh test does)")
    sys.exit(1)

import harness  # noqa: E402
import game_scenarios  # noqa: E402
import editor_scenarios  # noqa: E402


class Context:
    """What a scenario gets: the programs, the assets, and sessions that are
    cleaned up whatever happens."""

    def __init__(self, args):
        self.programs = {"game": args.game, "editor": args.editor}
        self.packaging = args.packaging
        self.assets = args.assets
        self.artifacts = args.artifacts
        self.sessions = []
        self.workdirs = []

    def workdir(self, levels=None):
        path = harness.make_workdir(self.assets, levels)
        self.workdirs.append(path)
        return path

    def start(self, program, workdir=None, levels=None, record_sound=False, **launch):
        """program is "game", "editor" or the path of a launcher; launch holds
        the Session's args, env and window_class."""
        session = harness.Session(self.programs.get(program, program),
                                  workdir or self.workdir(levels), self.artifacts, record_sound,
                                  **launch)
        self.sessions.append(session)
        return session

    def clean_up(self):
        for session in self.sessions:
            session.finish()
        for path in self.workdirs:
            shutil.rmtree(path, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("name")
    parser.add_argument("--assets", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--game")
    parser.add_argument("--editor")
    parser.add_argument("--packaging", help="the build's launchers and glouto-niveau")
    args = parser.parse_args()

    scenarios = {**game_scenarios.SCENARIOS, **editor_scenarios.SCENARIOS}
    if args.name not in scenarios:
        print(f"no scenario {args.name!r}; known: {', '.join(sorted(scenarios))}")
        return 2
    missing = [tool for tool in ("Xvfb", "xdotool", "import") if not shutil.which(tool)]
    if missing:
        print(f"{args.name}: {', '.join(missing)} missing (./glouto.sh test installs them)")
        return 1

    shutil.rmtree(args.artifacts, ignore_errors=True)
    context = Context(args)
    started = time.monotonic()
    signal.signal(signal.SIGTERM, stopped_from_outside)
    try:
        scenarios[args.name](context)
    except Exception as error:  # a failed check, or the harness itself
        report_failure(args, context, error)
        return 1
    finally:
        context.clean_up()
    if not os.environ.get("GLOUTO_E2E_KEEP"):
        shutil.rmtree(args.artifacts, ignore_errors=True)
    print(f"PASS {args.name} in {time.monotonic() - started:.1f}s")
    return 0


def stopped_from_outside(signum, frame):
    raise harness.Failure("stopped from outside (the test's time limit?)")


def report_failure(args, context, error):
    """Names the failed check, the scenario lines that led to it, what the
    windows showed then and where the screenshots are kept."""
    if not isinstance(error, harness.Failure):
        traceback.print_exc()
    print(f"FAIL {args.name}: {error}")
    for step in traceback.extract_tb(error.__traceback__):
        if step.filename.endswith("_scenarios.py"):
            print(f"  at {os.path.basename(step.filename)}:{step.lineno}: {step.line}")
    for session in context.sessions:
        if session.running():
            print(f"  {session.name} caption then: {session.caption()!r}")
    print(f"  screenshots and program output kept in {args.artifacts}")
    for path in sorted(p for s in context.sessions for p in s.shots)[-4:]:
        print(f"    {os.path.basename(path)}")

if __name__ == "__main__":
    sys.exit(main())
