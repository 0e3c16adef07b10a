# the opcode table name is taken by a folder: it reads as a missing table
mkdir etc/opcodes.txt
