# the statement file name is taken by a folder: it reads as a file that cannot be opened
mkdir prog.pass1
