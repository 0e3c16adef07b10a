# What the pseudo-terminal cases share: reading the terminal's side until a
# text shows, and giving the program under test the terminal as its own.
import fcntl, os, select, termios, time


def read_until(master, text, seconds=20):
    seen = b""
    end = time.time() + seconds
    while text not in seen and time.time() < end:
        ready, _, _ = select.select([master], [], [], 0.1)
        if ready:
            try:
                seen += os.read(master, 4096)
            except OSError:
                break
    return seen


def take_controlling_terminal():
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)
