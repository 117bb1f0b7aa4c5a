"""What the capture-road benchmarks share: test pictures, waiting, processes."""
import os, statistics, subprocess, time

# Every process a benchmark starts, ended by stop_all.
procs = []


def start(cmd, **kw):
    p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                         stdin=kw.pop("stdin", subprocess.DEVNULL), **kw)
    procs.append(p)
    return p


def stop_all():
    for p in reversed(procs):
        p.terminate()
    time.sleep(0.3)
    for p in procs:
        if p.poll() is None:
            p.kill()


def screenshot_like(path, w, h, seed):
    # Flat panels, text, lines and a photo-like area, as screenshots have.
    subprocess.run(["convert", "-size", f"{w}x{h}", "xc:rgb(240,240,240)",
                    "-fill", "rgb(40,60,90)", "-draw", f"rectangle 0,0 {w},{h//20}",
                    "-fill", "white", "-draw", f"rectangle {w//10},{h//8} {w*6//10},{h*9//10}",
                    "(", "-size", f"{w//3}x{h//3}", f"plasma:fractal", "-seed", str(seed), ")",
                    "-geometry", f"+{w*6//10+20}+{h//8}", "-composite",
                    "-fill", "black", "-font", "DejaVu-Sans", "-pointsize", str(max(12, h//70)),
                    "-annotate", f"+{w//10+20}+{h//8+60}",
                    "\n".join(f"line {i}: the quick brown fox {seed} jumps over the lazy dog"
                              for i in range(30)),
                    "-depth", "8", "-define", "png:compression-level=6", path], check=True)


def wait_file(path, timeout=20.0):
    end = time.perf_counter() + timeout
    while time.perf_counter() < end:
        if os.path.exists(path):
            return time.perf_counter()
        time.sleep(0.002)  # coarse enough not to steal the CPU being measured
    return None


def timed_captures(files, work, number, label, copy):
    """Copies each file in turn with copy(path), which returns the moments
    the measures start from (a tuple), and waits for the numbered file it
    becomes. Returns the times in ms, one list per moment, and the next number."""
    columns = None
    for p in files:
        target = f"{work}/{number:03d}.bmp"
        starts = copy(p)
        columns = columns or [[] for _ in starts]
        t1 = wait_file(target)
        number += 1
        if t1 is None:
            print(f"  {label}: capture {number-1} did not arrive")
            continue
        for times, t0 in zip(columns, starts):
            times.append((t1 - t0) * 1000)
        time.sleep(0.4)
    return columns or [], number


def spread(times):
    """"median N ms (min N, max N)" of a list of times in ms."""
    return f"median {statistics.median(times):.0f} ms (min {min(times):.0f}, max {max(times):.0f})"


def prepare_user_data(tmp):
    """Settings for the capture road (save numbered, no pointer); returns the work folder."""
    user = f"{tmp}/data/Quillon/varnel"
    os.makedirs(user)
    xml = ("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <ﾕｰｻﾞｰ>\r\n"
           "      <ｷｬﾌﾟﾁｬ後表示>2</ｷｬﾌﾟﾁｬ後表示>\r\n      <ﾏｳｽﾎﾟｲﾝﾀ>取込まない</ﾏｳｽﾎﾟｲﾝﾀ>\r\n"
           "   </ﾕｰｻﾞｰ>\r\n</運用>")
    with open(f"{user}/User.xml", "wb") as f:
        f.write(xml.encode("cp932"))
    return f"{user}/Temp"


def road_pictures(tmp, runs):
    """runs screenshot-like PNGs at 1920x1080 and at 3840x2160, by size."""
    pics = {}
    for (w, h) in [(1920, 1080), (3840, 2160)]:
        pics[(w, h)] = []
        for i in range(runs):
            p = f"{tmp}/shot-{w}-{i}.png"
            screenshot_like(p, w, h, i)
            pics[(w, h)].append(p)
    return pics


def wait_window(env):
    """The program's main window id, once it shows (None after 20 s)."""
    for _ in range(200):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Varnel$"],
                           env=env, capture_output=True, text=True)
        if r.stdout.strip():
            return r.stdout.split()[0]
        time.sleep(0.1)
    return None


def start_x_desktop(tmp):
    """A 3840x2160 Xvfb on a free display, a tray host and the
    program's user folders under tmp; returns the environment to run in."""
    disp = next(f":{n}" for n in range(150, 190) if not os.path.exists(f"/tmp/.X{n}-lock"))
    start(["Xvfb", disp, "-screen", "0", "3840x2160x24", "-nolisten", "tcp", "-noreset"])
    env = dict(os.environ, DISPLAY=disp, XDG_DATA_HOME=f"{tmp}/data",
               XDG_CONFIG_HOME=f"{tmp}/config", XDG_RUNTIME_DIR=f"{tmp}/run")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
    for _ in range(100):
        if subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0:
            break
        time.sleep(0.1)
    start(["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel",
           "--width", "100", "--height", "24"], env=env)
    return env
