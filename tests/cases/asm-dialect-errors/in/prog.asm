; dialect errors: each on its line, every one reported
	CPU 8080
	RIM
	CSEG
	EXTRN PUTS
	CALL PUTS
	CSEG
	MVI A,FFH
	.fill LATER
LATER:	.foo
NOP:	NOP
	CPU Z80
