"""The capture road from a Qt owner that encodes on request, per format it
offers: clipboard taken -> numbered BMP complete. Beside it, in the same run,
the floor the owner and the X server set: the owner's own encoding time and
how long `xclip -o` (a bare reader that decodes and writes nothing) takes to
get the same BMP. Prints figures only."""
import os, shutil, statistics, subprocess, sys, tempfile, time

from benchlib import (prepare_user_data, procs, road_pictures, spread, start_x_desktop, stop_all,
                      timed_captures, wait_window)

BIN = os.path.abspath(sys.argv[1])
OWNER = os.path.abspath(sys.argv[2])
RUNS = int(os.environ.get("RUNS", "7"))
MODES = os.environ.get("MODES", "all bmp png").split()
tmp = tempfile.mkdtemp(prefix="varnel-bench.")

try:
    env = start_x_desktop(tmp)
    work = prepare_user_data(tmp)
    pics = road_pictures(tmp, RUNS)
    # Before the program stands by, which would capture these copies.
    floor = {}
    if shutil.which("xclip") and "bmp" in MODES:
        for (w, h), files in pics.items():
            owner = subprocess.Popen([OWNER, files[0], "bmp"], env=env, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True)
            procs.append(owner)
            owner.stdout.readline()
            reads = []
            for _ in range(RUNS):
                t0 = time.perf_counter()
                got = subprocess.run(["xclip", "-selection", "clipboard", "-o", "-t", "image/bmp"],
                                     env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
                reads.append((time.perf_counter() - t0) * 1000)
                if len(got.stdout) < w * h * 3:
                    sys.exit("xclip read a short picture")
                time.sleep(0.3)
            owner.terminate()
            # One "encoded N ms" line per request.
            encodes = [float(l.split()[1]) for l in owner.communicate()[1].splitlines()
                       if l.startswith("encoded ")]
            floor[(w, h)] = (statistics.median(reads), statistics.median(encodes) if encodes else 0)
    procs.append(subprocess.Popen([BIN], env=env, stdout=subprocess.DEVNULL,
                                  stderr=open(f"{tmp}/varnel.log", "w"), stdin=subprocess.DEVNULL))
    wid = wait_window(env)
    if wid is None:
        sys.exit("no window: " + open(f"{tmp}/varnel.log").read())
    subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=env)
    subprocess.run(["xdotool", "key", "ctrl+q"], env=env)
    time.sleep(1.0)

    number = 1
    print(f"capture road from a Qt owner: clipboard taken -> numbered BMP complete ({RUNS} runs each)")
    for mode in MODES:
        def own(p):
            owner = subprocess.Popen([OWNER, p, mode], env=env, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True)
            procs.append(owner)
            owner.stdout.readline()  # "owned": the copy has happened
            return (time.perf_counter(),)

        for (w, h), files in pics.items():
            (owned,), number = timed_captures(files, work, number, f"{mode} {w}x{h}", own)
            if owned:
                print(f"  offers {mode}, {w}x{h}: {spread(owned)}")
            if mode == "bmp" and (w, h) in floor:
                read, enc = floor[(w, h)]
                print(f"    same owner, bare reader: xclip -o image/bmp median {read:.0f} ms "
                      f"(the owner's encoding alone {enc:.0f} ms); road / bare read = "
                      f"{statistics.median(owned) / read:.2f}" if owned else "")
finally:
    stop_all()
    shutil.rmtree(tmp, ignore_errors=True)
