#pragma once

// The OpenGL 3.3 core entry points the backend uses, loaded through SDL.

#include <GL/glcorearb.h>

namespace gfx::gl {

#define KORV_GL_FUNCTIONS(X)                                          \
    X(PFNGLGETERRORPROC, GetError)                                    \
    X(PFNGLGETSTRINGPROC, GetString)                                  \
    X(PFNGLGETSTRINGIPROC, GetStringi)                                \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                              \
    X(PFNGLENABLEPROC, Enable)                                        \
    X(PFNGLDISABLEPROC, Disable)                                      \
    X(PFNGLVIEWPORTPROC, Viewport)                                    \
    X(PFNGLDEPTHRANGEPROC, DepthRange)                                \
    X(PFNGLSCISSORPROC, Scissor)                                      \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                \
    X(PFNGLCLEARDEPTHPROC, ClearDepth)                                \
    X(PFNGLCLEARSTENCILPROC, ClearStencil)                            \
    X(PFNGLCLEARPROC, Clear)                                          \
    X(PFNGLCOLORMASKPROC, ColorMask)                                  \
    X(PFNGLCOLORMASKIPROC, ColorMaski)                                \
    X(PFNGLCLEARBUFFERFVPROC, ClearBufferfv)                          \
    X(PFNGLDEPTHMASKPROC, DepthMask)                                  \
    X(PFNGLSTENCILMASKPROC, StencilMask)                              \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                                  \
    X(PFNGLBLENDFUNCSEPARATEPROC, BlendFuncSeparate)                  \
    X(PFNGLBLENDEQUATIONSEPARATEPROC, BlendEquationSeparate)          \
    X(PFNGLBLENDCOLORPROC, BlendColor)                                \
    X(PFNGLCULLFACEPROC, CullFace)                                    \
    X(PFNGLFRONTFACEPROC, FrontFace)                                  \
    X(PFNGLPOLYGONMODEPROC, PolygonMode)                              \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                              \
    X(PFNGLREADPIXELSPROC, ReadPixels)                                \
    X(PFNGLFINISHPROC, Finish)                                        \
    X(PFNGLGENTEXTURESPROC, GenTextures)                              \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                        \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                              \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                          \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                                \
    X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                          \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                          \
    X(PFNGLTEXPARAMETERIVPROC, TexParameteriv)                        \
    X(PFNGLGENERATEMIPMAPPROC, GenerateMipmap)                        \
    X(PFNGLGENSAMPLERSPROC, GenSamplers)                              \
    X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                        \
    X(PFNGLBINDSAMPLERPROC, BindSampler)                              \
    X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)                  \
    X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv)                \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                      \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                      \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)            \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)      \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)        \
    X(PFNGLDRAWBUFFERSPROC, DrawBuffers)                              \
    X(PFNGLREADBUFFERPROC, ReadBuffer)                                \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                      \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)                    \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)              \
    X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                    \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage)              \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                                \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                          \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                                \
    X(PFNGLBUFFERDATAPROC, BufferData)                                \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                          \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                      \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                      \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)      \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray)    \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)              \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                \
    X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex)        \
    X(PFNGLCREATESHADERPROC, CreateShader)                            \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                            \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                          \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                              \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                    \
    X(PFNGLDELETESHADERPROC, DeleteShader)                            \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                          \
    X(PFNGLATTACHSHADERPROC, AttachShader)                            \
    X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)                \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                              \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                            \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                  \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                          \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                \
    X(PFNGLGETACTIVEUNIFORMPROC, GetActiveUniform)                    \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                                  \
    X(PFNGLUNIFORM4FPROC, Uniform4f)                                  \
    X(PFNGLUNIFORM1FVPROC, Uniform1fv)                                \
    X(PFNGLUNIFORM2FVPROC, Uniform2fv)                                \
    X(PFNGLUNIFORM3FVPROC, Uniform3fv)                                \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                                \
    X(PFNGLUNIFORM1IVPROC, Uniform1iv)                                \
    X(PFNGLUNIFORM2IVPROC, Uniform2iv)                                \
    X(PFNGLUNIFORM3IVPROC, Uniform3iv)                                \
    X(PFNGLUNIFORM4IVPROC, Uniform4iv)                                \
    X(PFNGLUNIFORMMATRIX2FVPROC, UniformMatrix2fv)                    \
    X(PFNGLUNIFORMMATRIX3FVPROC, UniformMatrix3fv)                    \
    X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)                    \
    X(PFNGLUNIFORMMATRIX2X3FVPROC, UniformMatrix2x3fv)                \
    X(PFNGLUNIFORMMATRIX3X2FVPROC, UniformMatrix3x2fv)                \
    X(PFNGLUNIFORMMATRIX2X4FVPROC, UniformMatrix2x4fv)                \
    X(PFNGLUNIFORMMATRIX4X2FVPROC, UniformMatrix4x2fv)                \
    X(PFNGLUNIFORMMATRIX3X4FVPROC, UniformMatrix3x4fv)                \
    X(PFNGLUNIFORMMATRIX4X3FVPROC, UniformMatrix4x3fv)                \
    X(PFNGLFENCESYNCPROC, FenceSync)                                  \
    X(PFNGLCLIENTWAITSYNCPROC, ClientWaitSync)                        \
    X(PFNGLDELETESYNCPROC, DeleteSync)

struct Api {
#define KORV_GL_DECLARE(type, name) type name = nullptr;
    KORV_GL_FUNCTIONS(KORV_GL_DECLARE)
#undef KORV_GL_DECLARE

    // Loads every entry point from the current context; false names the first one missing.
    bool Load(const char** missing);
};

}  // namespace gfx::gl
