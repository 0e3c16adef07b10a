# the shipped rows behind a count far too large for a table
sed -i '1s/.*/2000000000/' etc/opcodes.txt
