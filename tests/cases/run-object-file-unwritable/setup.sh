# the object file name is taken by a directory, so it cannot be opened for writing
mkdir prog.o
