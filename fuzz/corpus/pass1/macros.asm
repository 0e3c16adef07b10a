; macros, repeats, conditionals and include files together
	MACLIB m
	INCLUDE "a.inc"
DEBUG	EQU	1
MOVE	MACRO	D,S
	LOCAL	AGAIN
AGAIN:	MOV	D,S	;; dropped
	JNZ	AGAIN
	ENDM
COUNT	MACRO	N
	IF	N
	DB	N
	COUNT	N-1
	ENDIF
	ENDM
	ORG	100H
START:	MOVE	A,B
	COUNT	3
	REPT	2
	NOP
	ENDM
	IRP	R,<B,C,D>
	INR	R
	ENDM
	IRPC	X,BD
	INX	X
	ENDM
	IFDEF	DEBUG
	OUTC	'A'
	ELSE
	this line is skipped 'junk
	ENDIF
	.if 0
	.else
	db	1
	.endif
	END	START
@@a.inc
PORT	EQU	10H
	INCLUDE	b.inc
@@b.inc
	IFNDEF	PORT
	DB	0
	ENDIF
@@lib/m.LIB
OUTC	MACRO	CH
	IFB	<CH>
	EXITM
	ENDIF
	MVI	A,CH
	OUT	PORT
	ENDM
