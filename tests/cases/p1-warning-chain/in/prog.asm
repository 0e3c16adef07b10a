	mov m,m
	mov a,m
