effect 1
technique T
    pass P
        vertex VS
        fragment FS
end
code vertex VS
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position, 1.0); }
endcode
code fragment FS
out vec4 colour;
void main() { colour = vec4(1.0); }
endcode
