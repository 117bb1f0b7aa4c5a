"""Drives the real program under Xvfb; prints figures, asserts nothing."""
import os, re, shutil, statistics, subprocess, sys, tempfile, time

from benchlib import (prepare_user_data, procs, road_pictures, spread, start_x_desktop, screenshot_like, start,
                      stop_all, timed_captures, wait_window)

BIN = os.path.abspath(sys.argv[1])


def print_phases(log):
    """Median of each phase per picture size, from the program's trace."""
    pats = [("owned", r"owned at ([\d.]+)"), ("take", r"clipboard take begins at ([\d.]+)"),
            ("formats", r"clipboard formats: ([\d.]+)"), ("fetch", r"clipboard fetch \S+ (\d+) bytes: ([\d.]+)"),
            ("decode", r"clipboard decode: ([\d.]+)"), ("begin", r"capture begins at ([\d.]+)"),
            ("saved", r"capture saved: ([\d.]+)")]
    runs, cur = [], None
    for line in log.splitlines():
        m = re.match(r"offer at ([\d.]+)", line)
        if m:
            cur = {"offer": float(m.group(1))}
            runs.append(cur)
            continue
        for key, pat in pats:
            m = re.match(pat, line)
            if cur is not None and m and key not in cur:
                cur[key] = float(m.groups()[-1])
                if key == "fetch":
                    cur["bytes"] = int(m.group(1))
    by_size = {}
    for r in runs:
        if all(k in r for k, _ in pats):
            by_size.setdefault(r["bytes"] // 1000000, []).append({
                "xclip start": r["owned"] - r["offer"],
                "to take": r["take"] - r["owned"],
                "formats": r["formats"], "fetch": r["fetch"], "decode": r["decode"],
                "to save": r["begin"] - r["take"] - r["formats"] - r["fetch"] - r["decode"],
                "save": r["saved"]})
    for mb, rows in sorted(by_size.items()):
        print(f"  phases, PNG about {mb} MB (median of {len(rows)}): " + ", ".join(
            f"{k} {statistics.median(x[k] for x in rows):.1f}" for k in rows[0]) + " ms")
RUNS = int(os.environ.get("RUNS", "7"))
tmp = tempfile.mkdtemp(prefix="varnel-bench.")

try:
    env = start_x_desktop(tmp)
    work = prepare_user_data(tmp)
    pics = road_pictures(tmp, RUNS)
    BURSTS = int(os.environ.get("BURSTS", "3"))
    bursts = []
    for b in range(BURSTS):
        burst = []
        for i in range(20):
            p = f"{tmp}/burst-{b}-{i}.png"
            screenshot_like(p, 1920, 1080, 100 + 20 * b + i)
            burst.append(p)
        bursts.append(burst)

    trace = open(f"{tmp}/trace.log", "w")
    procs.append(subprocess.Popen([BIN], env=dict(env, VARNEL_CAPTURE_TRACE=os.environ.get("TRACE", "0")),
                                  stdout=subprocess.DEVNULL, stderr=trace, stdin=subprocess.DEVNULL))
    wid = wait_window(env)
    subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=env)
    subprocess.run(["xdotool", "key", "ctrl+q"], env=env)
    time.sleep(1.0)

    number = 1
    print(f"capture road: xclip offers a PNG -> numbered BMP complete on disk ({RUNS} runs each)")
    def xclip_copy(p):
        t0 = time.perf_counter()
        if os.environ.get("TRACE") == "1":
            print(f"offer at {time.clock_gettime(time.CLOCK_MONOTONIC) * 1e3:.1f} ms", file=trace, flush=True)
        xclip = start(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", p], env=env)
        # xclip's first process ends as its background copy takes the
        # clipboard: from then on the copy has happened as a user sees it.
        xclip.wait()
        t_owned = time.perf_counter()
        if os.environ.get("TRACE") == "1":
            print(f"owned at {time.clock_gettime(time.CLOCK_MONOTONIC) * 1e3:.1f} ms", file=trace, flush=True)
        return t0, t_owned

    for (w, h), files in pics.items():
        (times, owned), number = timed_captures(files, work, number, f"{w}x{h}", xclip_copy)
        size = os.path.getsize(files[0])
        if times:
            print(f"  {w}x{h} (PNG {size/1e6:.1f} MB): xclip started -> file: {spread(times)}; "
                  f"clipboard taken -> file: {spread(owned)}")

    # Bursts: 20 pictures 100 ms apart; the last one must always be saved,
    # whatever happened to the ones in between.
    for b, burst in enumerate(bursts):
        first = number
        t0 = time.perf_counter()
        for i, p in enumerate(burst):
            start(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", p], env=env)
            time.sleep(max(0.0, t0 + 0.1 * (i + 1) - time.perf_counter()))
        time.sleep(3.0)
        saved = [n for n in range(first, first + 60) if os.path.exists(f"{work}/{n:03d}.bmp")]
        last_ok = False
        if saved:
            r = subprocess.run(["compare", "-metric", "AE", f"{work}/{saved[-1]:03d}.bmp", burst[-1],
                                "null:"], capture_output=True, text=True)
            last_ok = r.stderr.strip() == "0"
        number = (saved[-1] + 1) if saved else first
        print(f"  burst {b + 1}: 20 pictures 100 ms apart -> {len(saved)} files, "
              f"last picture saved: {'yes' if last_ok else 'NO'}")
    if os.environ.get("TRACE") == "1":
        trace.flush()
        log = open(f"{tmp}/trace.log").read()
        if os.environ.get("TRACE_LOG") == "1":
            print(log)
        print_phases(log)
finally:
    stop_all()
    shutil.rmtree(tmp, ignore_errors=True)
