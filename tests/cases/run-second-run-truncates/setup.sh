# what an earlier, longer run left behind: its log and its object file
for i in $(seq 1 500); do echo "old log line $i of an earlier run"; done > etc/log-Pass2.txt
for i in $(seq 1 100); do printf '%X \t 00\t\t*\n' "$i"; done > prog.o
