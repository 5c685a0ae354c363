effect 1
technique T
 pass P
  vertex V
