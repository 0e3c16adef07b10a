 ORG 0
 DB %1010, 0x1F | 0C0H, ~0 & 7
