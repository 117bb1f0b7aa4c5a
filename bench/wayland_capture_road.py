"""Drives the real program under headless sway; prints figures, asserts nothing."""
import os, pwd, shutil, subprocess, sys, tempfile, time

from benchlib import prepare_user_data, road_pictures, spread, start, stop_all, timed_captures, wait_window

BIN = os.path.abspath(sys.argv[1])
RUNS = int(os.environ.get("RUNS", "7"))
tmp = tempfile.mkdtemp(prefix="varnel-wlbench.")

try:
    # The compositor runs as an unprivileged user when this runs as root.
    os.chmod(tmp, 0o711)
    wl = f"{tmp}/wl"
    os.makedirs(wl)
    run = []
    if os.getuid() == 0:
        shutil.chown(wl, "nobody", "nogroup")
        run = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
    os.chmod(wl, 0o700)
    conf = f"{tmp}/sway.conf"
    with open(conf, "w") as f:
        f.write(f"xwayland force\nexec env > {wl}/env.tmp && mv {wl}/env.tmp {wl}/env\n")
    os.chmod(conf, 0o644)
    start(run + ["env", "-i", "PATH=/usr/bin:/bin", f"HOME={wl}", f"XDG_RUNTIME_DIR={wl}",
                 "WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1",
                 "sway", "-c", conf])
    for _ in range(200):
        if os.path.exists(f"{wl}/env"):
            break
        time.sleep(0.1)
    senv = dict(line.split("=", 1) for line in open(f"{wl}/env").read().splitlines() if "=" in line)
    subprocess.run(run + ["env", f"DISPLAY={senv['DISPLAY']}", "xhost", f"+si:localuser:{pwd.getpwuid(os.getuid()).pw_name}"],
                   capture_output=True)
    env = dict(os.environ, DISPLAY=senv["DISPLAY"], WAYLAND_DISPLAY=f"{wl}/{senv['WAYLAND_DISPLAY']}",
               SWAYSOCK=senv["SWAYSOCK"], XDG_DATA_HOME=f"{tmp}/data",
               XDG_CONFIG_HOME=f"{tmp}/config", XDG_RUNTIME_DIR=f"{tmp}/run")
    env.pop("QT_QPA_PLATFORM", None)
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
    work = prepare_user_data(tmp)
    pics = road_pictures(tmp, RUNS)

    start([BIN], env=env)
    wait_window(env)
    subprocess.run(["xdotool", "key", "ctrl+q"], env=env)
    time.sleep(1.5)
    subprocess.run(["swaymsg", "workspace", "9"], env=env, capture_output=True)

    number = 1
    print(f"Wayland capture road: wl-copy offers a PNG -> numbered BMP complete on disk ({RUNS} runs each)")
    def wl_copy(p):
        t0 = time.perf_counter()
        start(["wl-copy", "--foreground", "-t", "image/png"], env=env, stdin=open(p, "rb"))
        return (t0,)

    for (w, h), files in pics.items():
        (times,), number = timed_captures(files, work, number, f"{w}x{h}", wl_copy)
        size = os.path.getsize(files[0])
        if times:
            print(f"  {w}x{h} (PNG {size/1e6:.1f} MB): {spread(times)}")
finally:
    stop_all()
    shutil.rmtree(tmp, ignore_errors=True)
