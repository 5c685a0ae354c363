#pragma once

#include "renderer/ZShader.h"

// The bloom chain: the downsample variant shrinks the finished scene into
// "Downsampled Buffer", the upsample variant spreads that back over the
// screen into "Upsampled Buffer", each blurring by its BloomScale. Both share
// one reference-counted "Post Process Shader" effect and differ in technique
// and in which buffer they read.
class PostProcessShader : public ZShader {
public:
    enum class Variant { kDownsample, kUpsample };

    explicit PostProcessShader(Variant variant);
    ~PostProcessShader() override;
    bool SetParameters(ZEffectParameter* binding, ZHashedString passName, ZParameterSource* source) override;

    Variant GetVariant() const { return m_variant; }

private:
    Variant m_variant;
};
