	TITLE	'MACDEMO - the macro assembler at work'
;***************************************************************
;*  MACDEMO: a banner, a table of squares, a counted loop and   *
;*  a hex dump, written with the macros of CPMIO.LIB.           *
;***************************************************************
	MACLIB	CPMIO
;
VERSION	EQU	2		; 1: the first release
DEBUG	EQU	0		; 1: trace every step
TPA	EQU	100H
ENTRIES	EQU	6		; squares in the table
;
;	DELAY COUNT: a wait loop of COUNT rounds (B and C used)
DELAY	MACRO	COUNT
	LOCAL	LOOP
	LXI	B,COUNT
LOOP:	DCX	B
	MOV	A,B
	ORA	C
	JNZ	LOOP
	ENDM
;
;	ADDTO REG,N: REG + N into A (no code for N = 0)
ADDTO	MACRO	REG,N
	IF	N
	MOV	A,REG
	ADI	N
	ELSE
	EXITM
	ENDIF
	MOV	REG,A
	ENDM
;
;	HEXNIB: the low four bits of A as a hex digit in A
HEXNIB	MACRO
	ANI	0FH
	ADI	90H
	DAA
	ACI	40H
	DAA
	ENDM
;
	ORG	TPA
START:	LXI	SP,STACK
	PRINT	BANNER
	IF	VERSION-1	; version 2 greets twice
	PRINT	BANNER
	ELSE
	NOP			; never
	ENDIF
	IF	DEBUG
	CALL	TRACE		; not assembled: TRACE exists nowhere
	ELSE
	IFDEF	TRACE
	CALL	TRACE
	ENDIF
	ENDIF
	NEWLINE
;
;	the table of squares: SQUARES holds ENTRIES bytes
	LXI	H,SQUARES
	MVI	B,ENTRIES
SHOW:	MOV	A,M
	CALL	PRHEX
	PUTC	' '
	INX	H
	DCR	B
	JNZ	SHOW
	NEWLINE
;
;	a wait, twice: each DELAY has its own loop label
	DELAY	1000
	DELAY	2000
;
;	arithmetic through a macro that may leave no code
	MVI	D,5
	ADDTO	D,3
	ADDTO	D,0
	ADDTO	E,1
;
;	a hex dump of the first bytes of this program
	LXI	H,START
	MVI	C,8
DUMP:	MOV	A,M
	SAVE	<B,D,H>
	CALL	PRHEX
	RESTORE	B,D,H
	INX	H
	DCR	C
	JNZ	DUMP
	NEWLINE
	PRINT	DONE
	EXIT
;
;	PRHEX: A as two hex digits (all registers but A kept)
PRHEX:	PUSH	PSW
	RRC
	RRC
	RRC
	RRC
	CALL	PRNIB
	POP	PSW
PRNIB:	SAVE	<B,D,H>
	HEXNIB
	MOV	E,A
	SYSCALL	CONOUT
	RESTORE	B,D,H
	RET
;
;	the messages
BANNER:	DB	'MACDEMO '
	IF	VERSION EQ 2
	STRING	<V2.0>
	ELSE
	STRING	<V1.0>
	ENDIF
DONE:	STRING	DONE
;
;	the squares of 1..ENTRIES, made by a counter
SQUARES:
N	SET	1
	REPT	ENTRIES
	DB	N*N
N	SET	N+1
	ENDM
;
;	a digit table by characters, a pair table by items
DIGITS:
	IRPC	D,0123456789ABCDEF
	DB	'D'
	ENDM
PAIRS:	IRP	P,<B,D,H,SP>
	DW	P&ENTRY
	ENDM
BENTRY	EQU	0
DENTRY	EQU	1
HENTRY	EQU	2
SPENTRY	EQU	3
;
;	skipped: the old routines, kept for reference, never assembled
	IF	0
OLDPR:	MVI	C,2		; the first release's output
	CALL	5
	ENDIF	; a note that no assembler reads: 'unbalanced
	IF	0
	This text is not a program. It may say anything,
	Even the words IF and ENDIF in the middle of a line, or 'quotes
	IF	1
	nested conditionals still count
	ENDIF
	ENDIF
;
;	the stack
	DS	32
STACK:
	END	START
