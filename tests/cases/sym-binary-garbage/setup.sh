# two good records, then a record of control and high bytes whose size class is
# no number: the reading stops there, the later record is never read
printf 'GOOD 1 12\nALSO 2 513\n\001\377\177Z \000\002\3777 3\nLATER 1 1\n' > prog.sym
