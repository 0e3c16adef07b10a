# NUL bytes end a line as the program sees it (the rest of the physical line
# is still consumed); bytes above 127 are ordinary word characters
printf '2048 DB 1,2\0003,4\n2050 MOV A,B\n\0002052 NOP\n2053 DB \351\377,5\n2055 \303\251NOP\n2056 n\351p 1\n2057 MVI A,\377\n2058 HLT\n' > prog.pass1
