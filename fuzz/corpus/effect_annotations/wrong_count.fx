effect 1
parameter float x = 1 2
