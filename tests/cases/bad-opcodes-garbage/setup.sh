# an opcode table file that is binary garbage: its first token is no number
printf '\211PNG\r\n\032\n\000\001\377\376MOV 1\nMVI 2\n' > etc/opcodes.txt
