; cp/m style
	org	100h
bdos	equ	0005h
start:	lxi	d,ok$msg! mvi c,9! call bdos
	ret
ok$msg:	db	0dh,0ah,'CPU IS OPERATIONAL$'

	end	start
