effect 1
parameter float b =.5
annotation bool A= false
annotation float D=6666666666666666666666666666666666660
parameter float2 o