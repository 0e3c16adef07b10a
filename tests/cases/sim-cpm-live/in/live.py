# Runs live.asm on a pseudo-terminal, as a user at a terminal would: the first
# line must show while the program runs, the typed line is echoed once (by the
# program, not the terminal), a stop signal ends the run with the report and
# status 128 + the signal, and the terminal's mode is as it was before.
import os, signal, subprocess, sys, termios

from ptyrun import read_until, take_controlling_terminal

simulator = sys.argv[1]

# Ctrl-C typed on the terminal, then SIGTERM and SIGHUP sent to the process.
for how, number in (("Ctrl-C", signal.SIGINT), ("kill", signal.SIGTERM), ("kill", signal.SIGHUP)):
    master, slave = os.openpty()
    before = termios.tcgetattr(slave)
    run = subprocess.Popen([simulator, "--cpm", "live.asm"], stdin=slave, stdout=slave, stderr=slave,
                           start_new_session=True, preexec_fn=take_controlling_terminal)
    seen = read_until(master, b"first line")
    print(signal.Signals(number).name, how)
    print("first line before the end:", b"first line" in seen and run.poll() is None)
    mode = termios.tcgetattr(slave)
    print("echo and line mode off while it runs:", mode[3] & (termios.ECHO | termios.ICANON) == 0)
    os.write(master, b"hi\r")
    seen += read_until(master, b"computing")
    if how == "Ctrl-C":
        os.write(master, b"\x03")
    else:
        run.send_signal(number)
    status = run.wait(timeout=20)
    seen += read_until(master, b"SIM: ")
    print("status:", status)
    print("terminal as before:", termios.tcgetattr(slave) == before)
    # Up to the stop line: the rest counts instructions run until the signal.
    text = seen.decode("latin-1")
    print(repr(text[:text.find("Registers:")]))
    os.close(master)
    os.close(slave)
