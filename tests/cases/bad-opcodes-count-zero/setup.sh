# the shipped rows behind a count of 0: none of them is read
sed -i '1s/.*/0/' etc/opcodes.txt
