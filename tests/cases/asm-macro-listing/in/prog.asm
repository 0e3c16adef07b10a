; marks in the listing
	INCLUDE	defs.inc
TWICE	MACRO	R
	INR	R	;; dropped
	INR	R
	ENDM
	IF	FAST
	TWICE	A
	ELSE
	NOP
	ENDIF
	END
