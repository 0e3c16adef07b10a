# every file of the run with CR LF line ends: the opcode table, the symbol file
# and the statement file
sed -i 's/$/\r/' etc/opcodes.txt
printf 'LOOP 2 4096\r\nVAL 1 7\r\n' > prog.sym
printf '2048 MOV A,B\r\n2049 NOP\r\n2050 MVI A,12H\r\n2052 DB 1,2\r\n2054 MOV A,C ;copy\r\n2055 JMP LOOP ;again\r\n\r\n2058 MVI B,VAL\r\n' > prog.pass1
