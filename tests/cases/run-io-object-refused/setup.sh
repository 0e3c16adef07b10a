# the object file is a device that refuses every write
ln -s /dev/full prog.o
