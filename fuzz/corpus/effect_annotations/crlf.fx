effect 1
parameter float4 tint = 1 1 1 1
technique T
 pass P
  vertex V
  fragment F
end
code vertex V
endcode
code fragment F
endcode
