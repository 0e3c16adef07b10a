# the shipped rows behind a count of 2^32 + 80: cut to 32 bits it would read as 80
sed -i '1s/.*/4294967376/' etc/opcodes.txt
