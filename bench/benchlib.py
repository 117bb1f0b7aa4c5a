"""What the capture-road benchmarks share: test pictures, waiting, processes."""
import os, subprocess, time

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
