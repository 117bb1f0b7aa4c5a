"""Input through a VNC server's virtual pointer and keyboard (wayvnc on a
unix socket), for headless Wayland desktops that have no input devices.

    vnc_input.py SOCKET move X Y       moves the pointer to x y in small steps
    vnc_input.py SOCKET keys CHORD...  types key chords ("ctrl+v", "Escape")
"""
import socket, struct, sys, time

s = socket.socket(socket.AF_UNIX)
s.connect(sys.argv[1])


def read(n):
    b = b""
    while len(b) < n:
        c = s.recv(n - len(b))
        if not c:
            sys.exit("the VNC server closed the connection")
        b += c
    return b


read(12)
s.sendall(b"RFB 003.008\n")
if 1 not in read(read(1)[0]):
    sys.exit("the VNC server wants a password")
s.sendall(b"\x01")
if struct.unpack(">I", read(4))[0] != 0:
    sys.exit("the VNC server refused the connection")
s.sendall(b"\x01")  # shared
read(20)
read(struct.unpack(">I", read(4))[0])

if sys.argv[2] == "move":
    # Small steps, as a mouse moves: the compositor then sends relative
    # motion too.
    x, y = int(sys.argv[3]), int(sys.argv[4])
    for d in (3, 2, 1, 0):
        s.sendall(struct.pack(">BBHH", 5, 0, x + d, y + d))
        time.sleep(0.1)
    time.sleep(0.3)
elif sys.argv[2] == "keys":
    names = {"ctrl": 0xffe3, "shift": 0xffe1, "alt": 0xffe9, "Escape": 0xff1b, "Return": 0xff0d}
    for chord in sys.argv[3:]:
        keys = [names.get(k, ord(k[0])) for k in chord.split("+")]
        for k in keys:
            s.sendall(struct.pack(">BBHI", 4, 1, 0, k))
            time.sleep(0.05)
        for k in reversed(keys):
            s.sendall(struct.pack(">BBHI", 4, 0, 0, k))
            time.sleep(0.05)
        time.sleep(0.3)
else:
    sys.exit("unknown command " + sys.argv[2])
