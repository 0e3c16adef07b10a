	.cpu 8080
	.db "OK", 0
	.end
