effect 1
parameter string s = "abc
sampler sampler2D s
 texture nothing
end
