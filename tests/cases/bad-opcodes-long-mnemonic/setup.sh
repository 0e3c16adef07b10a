# row 0 gets a name of 1000 characters, row 45 one of 12, row 79 one of exactly 11
long=MOV$(printf 'X%.0s' $(seq 1 997))
sed -i -e "2s/.*/$long 1/" -e '47s/.*/JUMPTOOFAR12 3/' -e '81s/.*/SIMULATE_XY 1/' etc/opcodes.txt
