# The debugger on a pseudo-terminal, as a user at a terminal has it: Ctrl-C
# while the program runs stops it and gives the prompt back; Ctrl-C at the
# prompt gives a new prompt; quit ends with status 0 and the terminal as it was.
import os, subprocess, sys, termios

from ptyrun import read_until, take_controlling_terminal

simulator = sys.argv[1]

master, slave = os.openpty()
before = termios.tcgetattr(slave)
run = subprocess.Popen([simulator, "--debug", "loop.asm"], stdin=slave, stdout=slave, stderr=slave,
                       start_new_session=True, preexec_fn=take_controlling_terminal)
read_until(master, b"(sim) ")
os.write(master, b"c\r")
# The program spins: let it run a moment, then interrupt it.
read_until(master, b"never shown", seconds=0.5)
os.write(master, b"\x03")
seen = read_until(master, b"(sim) ")
text = seen.decode("latin-1")
print("back at the prompt after Ctrl-C:", run.poll() is None and text.endswith("(sim) "))
stop = text[text.find("Stopped:"):]
print(stop[:stop.find("\r")])
# Let the line editor settle on the prompt before the key comes.
read_until(master, b"never shown", seconds=0.5)
os.write(master, b"\x03")
print("a new prompt after Ctrl-C at the prompt:", b"(sim) " in read_until(master, b"(sim) ", seconds=5))
os.write(master, b"quit\r")
print("status:", run.wait(timeout=20))
print("terminal as before:", termios.tcgetattr(slave) == before)
os.close(master)
os.close(slave)
